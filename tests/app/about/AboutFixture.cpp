#include "AboutFixture.h"

#include "Files.h"
#include "TestHome.h"

#include <QtGlobal>

#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <exception>
#include <filesystem>

namespace {

void installFolderOpener()
{
    const std::string home = TestHome::path();
    Files::write(home + "/.local/share/applications/tallyroom-files.desktop",
                 "[Desktop Entry]\nType=Application\nName=Files\nExec=/bin/true %U\nMimeType=inode/directory;\n");
    Files::write(home + "/.config/mimeapps.list", "[Default Applications]\ninode/directory=tallyroom-files.desktop\n");
}

}

AboutFixture::AboutFixture()
{
    static const bool opener = (installFolderOpener(), true);
    static_cast<void>(opener);
    Files::make(bundle_ / "Contents/Helpers/delver");
    std::filesystem::permissions(bundle_ / "Contents/Helpers/delver", std::filesystem::perms::owner_all);
    Files::makeFolder(bundle_ / "Contents/Resources");
}

QString AboutFixture::resources() const
{
    return QString::fromStdString(bundle_ / "Contents/Resources");
}

void AboutFixture::writeManifest(const QString& text) const
{
    Files::write(bundle_ / "Contents/Resources/LinkedLibraries.txt", text.toStdString());
}

void AboutFixture::removeWorker() const
{
    std::filesystem::remove(bundle_ / "Contents/Helpers/delver");
}

QString AboutFixture::libraryOf(const void* address)
{
    Dl_info info {};
    if (dladdr(address, &info) == 0 || !info.dli_fname)
        return {};
    return QString::fromLocal8Bit(info.dli_fname);
}

QString AboutFixture::libc()
{
    return libraryOf(reinterpret_cast<const void*>(&std::strlen));
}

QString AboutFixture::qtCore()
{
    return libraryOf(reinterpret_cast<const void*>(&qVersion));
}

QString AboutFixture::cxxRuntime()
{
    return libraryOf(reinterpret_cast<const void*>(&std::terminate));
}
