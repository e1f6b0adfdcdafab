#include "app/texts/Fmt.h"

#include <glib.h>

QString fmt(int64_t bytes)
{
    const uint64_t magnitude = bytes < 0 ? 0 - static_cast<uint64_t>(bytes) : static_cast<uint64_t>(bytes);
    gchar* text = g_format_size(magnitude);
    const QString formatted = QString::fromUtf8(text);
    g_free(text);
    return bytes < 0 ? QStringLiteral("-") + formatted : formatted;
}
