#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The settings file, read and replaced only as a regular file of this user's own, reached
// without following a link and opened without waiting on it. Anything else in its place (a
// link, a pipe, a folder, another user's file, an oversized file) is renamed aside within its
// folder, the caller gets no settings, and a notice says what happened.
class SettingsFile {
public:
    // Larger files are not settings this program wrote.
    static constexpr qint64 largest = 256 * 1024;

    explicit SettingsFile(QString path);

    // The file's bytes; empty when there is no file or it was set aside.
    QByteArray read();
    // Replaces the file whole: the bytes go to a fresh file beside it that is renamed over
    // the name, so a link that appeared there is replaced, never written through. Only after
    // a read that found the name free or holding a usable file.
    void write(const QByteArray& bytes);

    // What was set aside or could not be used since the last call, for the user.
    std::optional<QString> takeNotice();

private:
    void setAside(int folder, const QString& what);
    void remember(const QString& notice);

    QString path_;
    QString folderPath_;
    QByteArray name_;
    std::optional<QString> notice_;
    bool usable_ = false;
};
