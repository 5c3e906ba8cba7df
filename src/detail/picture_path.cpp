#include "picture_path.h"

#include "language/host_components.h"
#include "platform/com/runtime.h"
#include "platform/ui/window.h"
#include "platform/vb/call_by_name.h"
#include "platform/vb/conversions.h"
#include "platform/vb/error.h"

namespace detail {

namespace {

// The folder the settings give a drive letter, read through the host's
// utility component as every host setting is; empty when there is none.
QString driveFolder(QChar letter)
{
    const vb::ObjectRef utilidades = com::createObject(language::UtilidadesProgId);
    std::vector<vb::Variant> argumentos{RutasSection, QString(letter.toUpper())};
    const vb::Variant folder =
        vb::CallByName(utilidades, QStringLiteral("LeerConfiguracion"), vb::CallKind::Method, argumentos);
    return folder.isNull() ? QString() : vb::CStr(folder);
}

bool hasDriveLetter(const QString &path)
{
    return path.size() >= 2 && path.at(1) == u':' && path.at(0).isLetter() && path.at(0).unicode() < 128;
}

} // namespace

std::optional<QString> localPicturePath(const QString &hostPath)
{
    QString rest = hostPath;
    QString root;
    if (hasDriveLetter(hostPath)) {
        root = driveFolder(hostPath.at(0));
        if (root.isEmpty())
            return std::nullopt;
        while (root.size() > 1 && root.endsWith(u'/'))
            root.chop(1);
        rest = hostPath.mid(2);
        // "D:a.jpg" and "D:\a.jpg" both name a file in the drive's folder.
        if (!rest.startsWith(u'\\'))
            rest.prepend(u'\\');
    }
    rest.replace(u'\\', u'/');
    if (root == QStringLiteral("/"))
        return rest;
    return root + rest;
}

void loadHostPicture(ui::Image &image, const QString &hostPath)
{
    if (hostPath.isEmpty()) {
        image.loadPicture(QString());
        return;
    }
    const std::optional<QString> local = localPicturePath(hostPath);
    if (!local)
        throw vb::Error::standard(vb::err::FileNotFound);
    image.loadPicture(*local);
}

} // namespace detail
