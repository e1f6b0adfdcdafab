#pragma once

#include "app/trash/TrashReview.h"

#include <QDialog>

class QPushButton;

// The last look at one item before it moves to the Trash: "Approve" accepts, every other
// way out rejects.
class TrashSheet : public QDialog {
    Q_OBJECT

public:
    static constexpr int width = 510;

    TrashSheet(const TrashReview& ticket, const QString& title, const QString& body, QWidget* parent);

    const TrashReview& ticket() const { return ticket_; }
    void setApproveEnabled(bool enabled);

private:
    const TrashReview ticket_;
    QPushButton* approve_ = nullptr;
};
