#pragma once

#include "app/viewer/model/SavedLayout.h"

#include <QByteArray>
#include <QString>

// The files of saved views: one folder per viewed folder, named by the digest of its path,
// holding "View1.json" to "View3.json". A cleared slot is an empty file.
namespace SlotFiles {
// 64 lowercase hexadecimal digits of the SHA-256 of the path's UTF-8 bytes.
QString digest(const QString& folder);
QString path(const QString& slotDir, int slot, const QString& folder);
// Where the older layout kept a slot: directly in the slot folder.
QString legacyPath(const QString& slotDir, int slot);
// Refuses a slot that something other than our own layout of `folder` occupies, and a
// link, file or package on the way to it. Throws TrashProblem or PosixError.
void validate(const QString& slot, const QString& folder);
// A slot file's bytes, never read through a link. Throws PosixError, or TrashProblem when
// the slot is not a regular file.
QByteArray contents(const QString& slot);
// Throws as contents, or DecodingError.
SavedLayout read(const QString& slot);
// Creates the folder and its missing parents, private to the user. Throws PosixError.
void makeFolder(const QString& folder);
// Puts the bytes in place in one step, replacing what was there. Throws PosixError.
void replace(const QString& slot, const QByteArray& bytes);
// Puts the bytes in place in one step, never replacing anything. Throws PosixError.
void create(const QString& path, const QByteArray& bytes);
}
