#pragma once

#include <QString>

// "tallyroom v" + the running bundle's version, fixed for the life of the process.
QString releaseTitle();
// The version a bundle declares, or "?" when it declares none.
QString bundleVersion(const QString& bundle);
