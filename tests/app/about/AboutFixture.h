#pragma once

#include "TempFolder.h"

#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <ostream>

// Failed comparisons show the texts themselves.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

// A bundle of the test's own: an executable worker, a resources folder and, when asked, a
// LinkedLibraries.txt. The home folder gets a default application for folders, so the file
// manager check passes without a desktop session.
class AboutFixture : public testing::Test {
protected:
    AboutFixture();

    QString resources() const;
    void writeManifest(const QString& text) const;
    void removeWorker() const;

    // The file the running process loaded the library holding this address from.
    static QString libraryOf(const void* address);
    static QString libc();
    static QString qtCore();
    static QString cxxRuntime();

private:
    TempFolder bundle_;
};
