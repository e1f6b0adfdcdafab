#pragma once

#include "app/about/Requirement.h"

#include <QList>
#include <QWidget>

#include <functional>
#include <optional>

class QLabel;
class QPushButton;
class QStackedLayout;
class QVBoxLayout;

// The About window's content: the dependency checks with their verdicts, and the ways to the
// source and structure windows.
class AboutView : public QWidget {
    Q_OBJECT

public:
    using OpenWindow = std::function<void(const QString& identifier)>;
    using ResourcesFolder = std::function<std::optional<QString>()>;

    explicit AboutView(OpenWindow openWindow, ResourcesFolder resources = {}, QWidget* parent = nullptr);

    const QList<Requirement>& rows() const { return rows_; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QWidget* buttonRow();
    QWidget* progressPage();
    QWidget* resultsPage();
    void checkAgain();
    void startCheck();
    void render();

    OpenWindow openWindow_;
    ResourcesFolder resources_;
    QList<Requirement> rows_;
    // Identifies the latest check; a result for any other is dropped.
    int generation_ = 0;
    QPushButton* checkAgainButton_ = nullptr;
    QStackedLayout* pages_ = nullptr;
    QLabel* headline_ = nullptr;
    QVBoxLayout* list_ = nullptr;
};
