#include "platform/com/guid.h"

#include <gtest/gtest.h>

namespace {

using com::Guid;

TEST(Guid, ParsesEitherSpellingToTheRegistrySpelling)
{
    for (const char *text : {"{6b1c3a52-0f5e-4c1b-9e7d-2a8f4c3d1e90}", "6B1C3A52-0F5E-4C1B-9E7D-2A8F4C3D1E90"}) {
        const auto guid = Guid::parse(QString::fromLatin1(text));
        ASSERT_TRUE(guid) << text;
        EXPECT_EQ(guid->toString(), QStringLiteral("{6B1C3A52-0F5E-4C1B-9E7D-2A8F4C3D1E90}"));
    }
    // Bytes in the order they are written.
    const std::array<uint8_t, 16> bytes{0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77,
                                        0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
    EXPECT_EQ(Guid::parse(u"{00112233-4455-6677-8899-aabbccddeeff}")->bytes(), bytes);
    EXPECT_EQ(com::IID_IUnknown.toString(), QStringLiteral("{00000000-0000-0000-C000-000000000046}"));
    EXPECT_EQ(com::IID_IDispatch.toString(), QStringLiteral("{00020400-0000-0000-C000-000000000046}"));
    EXPECT_EQ(com::IID_IClassFactory.toString(), QStringLiteral("{00000001-0000-0000-C000-000000000046}"));
}

TEST(Guid, RejectsAnythingElse)
{
    for (const char *text : {
             "", "{}",
             "{6B1C3A52-0F5E-4C1B-9E7D-2A8F4C3D1E90",   // half braced
             "{6B1C3A52-0F5E-4C1B-9E7D-2A8F4C3D1E9}",   // short
             "6B1C3A520F5E4C1B9E7D2A8F4C3D1E90",        // no hyphens
             "6B1C3A52-0F5E4-C1B-9E7D-2A8F4C3D1E90",    // hyphen out of place
             "6B1C3A52-0F5E-4C1B-9E7D-2A8F4C3D1E9G",    // not hex
         })
        EXPECT_FALSE(Guid::parse(QString::fromLatin1(text))) << text;
}

TEST(Guid, NameDerivedIdentityIsStable)
{
    // Registered class identities are derived from names; a change of the
    // derivation would orphan every registration already written.
    EXPECT_EQ(Guid::fromName(u"vokBArticulo.Articulo").toString(),
              QStringLiteral("{142AFF0A-46C6-5079-9B6D-CA791D857B03}"));
    EXPECT_NE(Guid::fromName(u"Art\u00edculo"), Guid::fromName(u"Articulo"));
}

} // namespace
