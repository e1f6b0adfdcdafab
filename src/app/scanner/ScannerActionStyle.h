#pragma once

class QAbstractButton;

// The look of the scanner's main actions: "Scan Disk" and "Viewer", and the prominent
// "Change Disk". A focused one wears a ring in the highlight colour.
namespace ScannerActionStyle {
void apply(QAbstractButton* button);
void applyProminent(QAbstractButton* button);
}
