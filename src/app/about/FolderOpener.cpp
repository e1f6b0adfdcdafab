#include "app/about/FolderOpener.h"

#include <gio/gio.h>

bool folderOpenerPresent()
{
    GAppInfo* application = g_app_info_get_default_for_type("inode/directory", FALSE);
    if (!application)
        return false;
    g_object_unref(application);
    return true;
}
