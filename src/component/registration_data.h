#pragma once
// What registering the library writes into the component registry: the
// entries a container needs to find the control, insert it and read its type
// library. There is no resource section the system reads for us, so the
// library's version block is written too, under the class key:
//
//   HKEY_CLASSES_ROOT\vokArtBuscar.vokTArticulo            @ description, \CLSID
//   HKEY_CLASSES_ROOT\CLSID\{clsid}                        @ description
//       \ProgID, \InprocServer32 (@ library, ThreadingModel Apartment),
//       \Control, \MiscStatus (@ 131473), \ToolboxBitmap32 (@ "library,30000"),
//       \TypeLib (@ libid), \Version (@ 1.15),
//       \VersionInfo (FileVersion, ProductVersion, DisplayVersion,
//                     InternalName, OriginalFilename, ProductName, OLESelfRegister)
//   HKEY_CLASSES_ROOT\TypeLib\{libid}\1.15                 @ help string
//       \0\linux (@ library), \FLAGS (@ 0), \HELPDIR (@ library folder)
//   HKEY_CLASSES_ROOT\Interface\{iid}                      @ _vokTArticulo, \TypeLib
//   HKEY_CLASSES_ROOT\Interface\{event iid}                @ __vokTArticulo, \TypeLib
//
// Only the current identities are registered; the earlier ones live in the
// type library's aliases and the history resources.

#include <QString>
#include <QStringList>

#include <vector>

namespace component {

inline constexpr char FileVersion[] = "1.0.0.43";
inline constexpr char FileVersionShown[] = "1.00.0043";
// The miscellaneous status flags: recompose on resize, cannot link inside,
// inside-out activation, activate when visible, set client site first.
inline constexpr char MiscStatus[] = "131473"; // &H20191

struct RegistryItem {
    QString key;
    QString name; // empty: the key's default value
    QString value;
};

// Every item written, in the order written.
std::vector<RegistryItem> registrationItems(const QString &libraryPath);
// The keys removed on unregistration (with everything below them).
QStringList registrationKeys();
// The type library's key, HKEY_CLASSES_ROOT\TypeLib\{libid}: removed too once
// no other version is registered below it.
QString typeLibraryKey();

} // namespace component
