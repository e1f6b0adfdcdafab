#pragma once

class QAbstractButton;

// The look of the scanner's main actions, "Scan Disk" and "Viewer".
namespace ScannerActionStyle {
void apply(QAbstractButton* button);
}
