#pragma once

#include "app/about/Requirement.h"

#include <QWidget>

// One line of the About list: the row's number, what is checked and why, and the verdict.
class RequirementLine : public QWidget {
    Q_OBJECT

public:
    RequirementLine(int number, const Requirement& row, QWidget* parent = nullptr);
};
