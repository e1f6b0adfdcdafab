#pragma once

#include "app/folders/VEntry.h"
#include "app/viewer/model/Vec3.h"

#include <QList>
#include <QMap>
#include <QString>

#include <optional>
#include <vector>

// Where every dot of the folder graph goes, how large it is, its colour and its label, as a
// pure function of the open folder, the graph entries, their previews and the view mode.
// Positions are layout positions; drag offsets are added by whoever draws.
struct GraphLayout {
    enum class Tint { white, teal, purple, orange, gray };

    struct Colour {
        int red;
        int green;
        int blue;

        friend bool operator==(const Colour&, const Colour&) = default;
    };

    struct Dot {
        QString path;
        Vec3 position;
        // Where the edge into this dot starts: its parent's layout position. The centre dot has
        // no edge; its start is its own position.
        Vec3 start;
        double radius;
        Tint tint;
        std::optional<QString> label;
        std::vector<Dot> previews;
    };

    // The open folder's dot, which is also the pivot of the spin.
    static constexpr Vec3 centre {0, 3.5, 0};
    static constexpr double selectedScale = 1.55;
    static constexpr Tint edgeTint = Tint::gray;
    static constexpr Tint labelTint = Tint::white;

    static GraphLayout of(const VEntry& folder, const QList<VEntry>& entries,
                          const QMap<QString, QList<VEntry>>& previews, bool fullView);
    // Titles of more than 21 characters keep their first 19 and an ellipsis.
    static QString label(const QString& title);
    // The platform's system colour in the light or the dark appearance.
    static Colour colour(Tint tint, bool dark);

    bool dense = false;
    Dot folder;
    std::vector<Dot> children;
};
