#include "app/widgets/CreditFooter.h"

#include "app/platform/Bundle.h"
#include "app/platform/LoopDiskImage.h"
#include "app/widgets/CreditChecksum.h"
#include "app/widgets/ReleaseTitle.h"

#include <QPointer>
#include "app/platform/Background.h"

CreditFooter::CreditFooter(QWidget* parent) : QLabel(parent), version_(bundleVersion(Bundle::location()))
{
    setObjectName(QStringLiteral("creditFooter"));
    setForegroundRole(QPalette::PlaceholderText);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A larger font or a narrow window wraps the line rather than cutting it off.
    setWordWrap(true);
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    setFont(small);
    render();
    const QPointer<CreditFooter> self(this);
    const QString version = version_;
    inBackground([self, version] {
        LoopDiskImage images;
        const QString checksum = CreditChecksum::load(version, Bundle::location(), images);
        QMetaObject::invokeMethod(qApp, [self, checksum] {
            if (self) {
                self->checksum_ = checksum;
                self->render();
            }
        });
    });
}

void CreditFooter::render()
{
    setText(QStringLiteral("Made by the tallyroom team for people who want their space back.   v") + version_
            + QStringLiteral(" DMG MD5: ") + checksum_);
}
