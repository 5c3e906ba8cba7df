// Property bags: the default semantics the control relies on, and the form
// file that keeps the bags of a form.

#include "error_number.h"
#include "platform/com/property_bag.h"
#include "platform/vb/error.h"
#include "scoped_env.h"

#include <QFile>
#include <QTemporaryDir>

#include <functional>

#include <gtest/gtest.h>

using com::FormStore;
using com::MemoryPropertyBag;

TEST(PropertyBag, ReadsTheDefaultOfAMissingKeyAndKeysIgnoreCase)
{
    MemoryPropertyBag bag;
    EXPECT_EQ(bag.ReadProperty("MaxLength", int32_t{7}), vb::Variant(int32_t{7}));
    bag.WriteProperty("MaxLength", int32_t{12}, int32_t{0});
    bag.WriteProperty("MAXLENGTH", int32_t{15}, int32_t{0});
    EXPECT_EQ(bag.keys(), QStringList{"MaxLength"});
    EXPECT_EQ(bag.ReadProperty("maxlength", int32_t{0}), vb::Variant(int32_t{15}));
}

TEST(PropertyBag, AWriteEqualToItsDefaultStoresNothingAndDropsWhatWasStored)
{
    const struct {
        vb::Variant value, defaultValue;
        bool stored;
    } cases[] = {
        {int16_t{0}, int16_t{0}, false}, {int32_t{0}, int16_t{0}, false}, // numbers compare by value
        {uint8_t{1}, int32_t{1}, false}, {true, true, false}, {QString(), QString(), false},
        {int16_t{1}, int16_t{0}, true},  {false, int16_t{0}, true}, // a Boolean is not the number 0
        {u"a"_qs, u"A"_qs, true},        {vb::Variant::null(), vb::Variant(), true},
    };
    for (const auto &c : cases) {
        MemoryPropertyBag bag;
        bag.WriteProperty("K", u"old"_qs, QString());
        bag.WriteProperty("K", c.value, c.defaultValue);
        EXPECT_EQ(bag.contains("K"), c.stored) << &c - cases;
    }
}

TEST(PropertyBag, FontsAreRecordsOfTheirOwn)
{
    MemoryPropertyBag bag;
    const ui::Font arial{"Arial", 10, true};
    bag.WriteFont("Font", arial, ui::Font{});
    EXPECT_EQ(bag.ReadFont("Font", ui::Font{}), arial);
    bag.WriteFont("Font", ui::Font{}, ui::Font{});
    EXPECT_FALSE(bag.contains("Font"));
    bag.WriteFont("Font", arial, ui::Font{});
    bag.WriteProperty("Color", int32_t{5}, int32_t{0});
    EXPECT_THROW(bag.ReadProperty("Font"), vb::Error);
    EXPECT_THROW(bag.ReadFont("Color", ui::Font{}), vb::Error);
}

TEST(FormStore, RoundTripsEveryValueTypeThroughTheFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("form.frm");
    FormStore store(path);
    MemoryPropertyBag &a = store.control("txtArticulo");
    a.WriteProperty("Empty", vb::Variant(), int16_t{1});
    for (const auto &[key, value] : std::initializer_list<std::pair<const char *, vb::Variant>>{
             {"Null", vb::Variant::null()}, {"Byte", uint8_t{255}}, {"Integer", int16_t{-32768}},
             {"Long", int32_t{2147483647}}, {"Colour", int32_t(0x8000000Fu)}, {"Double", 0.1}, {"Boolean", false},
             {"String", u"a \"quoted\" \\ line\nnext\tñandú = [x]"_qs}})
        a.WriteProperty(key, value);
    a.WriteFont("Font", ui::Font{"Times New Roman", 9.75, false, true, true, true}, ui::Font{});
    store.control("txtOtro").WriteProperty("Enabled", false, true);
    store.control("vacio");
    store.save();

    FormStore loaded(path);
    loaded.load();
    EXPECT_EQ(loaded.controlNames(), (QStringList{"txtArticulo", "txtOtro", "vacio"}));
    const MemoryPropertyBag *b = loaded.find("TXTARTICULO");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->keys(), a.keys());
    EXPECT_EQ(b->ReadFont("Font", {}), a.ReadFont("Font", {}));
    for (const QString &key : a.keys()) {
        if (key != "Font") { EXPECT_EQ(b->ReadProperty(key, int16_t{99}), a.ReadProperty(key)) << key.toStdString(); }
    }
    EXPECT_EQ(loaded.find("txtOtro")->ReadProperty("Enabled", true), vb::Variant(false));
    EXPECT_TRUE(loaded.find("vacio")->empty());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.contains("Colour = Long &H8000000F\n"));
    EXPECT_TRUE(text.contains("Font = Font \"Times New Roman\" 9.75 Italic Underline Strikethrough\n"));
}

TEST(FormStore, AMalformedFileIsAnErrorNamingFileAndLine)
{
    const std::pair<QByteArray, int> cases[] = {
        {"Key = Long 1\n", 1},       {"[a]\n\nKey Long 1\n", 3},           {"[a]\nKey = Integer 40000\n", 2},
        {"[a]\nKey = Boolean Yes\n", 2}, {"[a]\nKey = String \"open\n", 2}, {"[a]\nKey = Widget 1\n", 2},
        {"[a]\nKey = Long 1\nkey = Long 2\n", 3}, {"[a]\n# c\n[A]\n", 3}, {"[a\n", 1},
        {"[a]\nKey = String \"\xC3\x28\"\n", 2},
    };
    QTemporaryDir dir;
    const QString path = dir.filePath("bad.frm");
    for (const auto &[text, line] : cases) {
        vok::test::writeFile(path, text);
        FormStore store(path);
        store.control("kept");
        const vb::Error e = vok::test::errorRaisedBy([&] { store.load(); });
        EXPECT_EQ(e.number(), 321) << text.toStdString();
        EXPECT_TRUE(e.description().startsWith(u"%1, line %2: "_qs.arg(path).arg(line))) << e.description().toStdString();
        EXPECT_EQ(store.controlNames(), QStringList{"kept"}) << "a failed load leaves the store as it was";
    }
}

TEST(FormStore, FileAndValueErrors)
{
    QTemporaryDir dir;
    FormStore objects(dir.filePath("obj.frm"));
    objects.control("a").WriteProperty("Obj", vb::ObjectRef(), int16_t{0});
    FormStore keys(dir.filePath("keys.frm"));
    keys.control("a").WriteProperty("A = B", int16_t{1});
    const std::pair<std::function<void()>, int32_t> cases[] = {
        {[&] { FormStore(dir.filePath("none.frm")).load(); }, 53},
        {[&] { objects.save(); }, 13},
        {[&] { keys.save(); }, 380},
        {[&] { FormStore(dir.filePath("no/dir/f.frm")).save(); }, 75},
    };
    for (const auto &[call, number] : cases)
        EXPECT_EQ(vok::test::errorNumberOf(call), number);
    EXPECT_FALSE(QFile::exists(dir.filePath("obj.frm")));
}
