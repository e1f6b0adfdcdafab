#pragma once

#include <QString>

// "tallyroom v" + the running bundle's version, fixed for the life of the process.
QString releaseTitle();
// "About V" + the running bundle's version, the title of the About window and its buttons.
QString aboutTitle();
// The version a bundle declares, or "?" when it declares none.
QString bundleVersion(const QString& bundle);
