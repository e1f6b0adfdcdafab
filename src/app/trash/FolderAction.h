#pragma once

#include "app/trash/TrashReview.h"

#include <QPointer>
#include <QUrl>
#include <QWidget>

#include <functional>
#include <optional>

class Authenticator;
class QPushButton;
class TrashSheet;

// "Delete Folder…": pick any folder, review it, and move it to the Trash once approved.
// Results and refusals go to `notify`.
class FolderAction : public QWidget {
    Q_OBJECT

public:
    using Notify = std::function<void(const QString& text)>;

    FolderAction(Notify notify, Authenticator* authenticator, QWidget* parent = nullptr);

    const std::optional<TrashReview>& ticket() const { return ticket_; }
    bool working() const { return working_; }
    TrashSheet* sheet() const;

    // The open panel; a chosen folder goes on to review().
    void choose();
    void review(const QUrl& folder);
    // Moves the ticket's folder when it is still the one under review.
    void approve(const QUuid& id);

private:
    void render();

    Notify notify_;
    std::optional<TrashReview> ticket_;
    bool working_ = false;
    Authenticator* authenticator_;
    QPushButton* button_ = nullptr;
    QPointer<TrashSheet> sheet_;
};
