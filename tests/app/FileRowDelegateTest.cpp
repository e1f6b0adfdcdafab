#include "scanner/FileListModel.h"
#include "scanner/FileRowDelegate.h"

#include <QApplication>
#include <QImage>
#include <QListView>
#include <QPainter>
#include <QStandardItemModel>

#include <gtest/gtest.h>

namespace {

QStandardItem* fileItem(const QString& path)
{
    auto* item = new QStandardItem(path.section(QLatin1Char('/'), -1));
    item->setData(path, FileListModel::PathRole);
    item->setData(QStringLiteral("3 MB"), FileListModel::SizeRole);
    item->setData(QString(), FileListModel::TagRole);
    item->setData(static_cast<int>(FileListModel::Kind::Selectable), FileListModel::KindRole);
    item->setData(false, FileListModel::SelectedRole);
    item->setData(false, FileListModel::RemovedRole);
    return item;
}

// One row drawn as the list draws it, at the given scale and font.
QImage render(const QString& path, qreal scale, const QFont& font)
{
    QStandardItemModel model;
    model.appendRow(fileItem(path));
    QListView list;
    list.setFont(font);
    FileRowDelegate delegate;
    QStyleOptionViewItem option;
    option.initFrom(&list);
    option.font = font;
    option.widget = &list;
    const QModelIndex index = model.index(0, 0);
    option.rect = QRect(QPoint(0, 0), QSize(520, delegate.sizeHint(option, index).height()));
    QImage image(option.rect.size() * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::white);
    QPainter painter(&image);
    delegate.paint(&painter, option, index);
    return image;
}

}

// The name line is the same in each pair; only the path line can tell underscores from spaces.
TEST(FileRowDelegate, UnderscoresInThePathLineAreDrawnWhole)
{
    QFont large = QApplication::font();
    large.setPointSizeF(13);
    for (const QFont& font : {QApplication::font(), large})
        for (const qreal scale : {1.0, 2.0}) {
            const QImage underscores = render(QStringLiteral("/home/me/Projects/g_q_y/report_final/data.pdf"), scale, font);
            const QImage spaces = render(QStringLiteral("/home/me/Projects/g q y/report final/data.pdf"), scale, font);
            EXPECT_NE(underscores, spaces) << "scale " << scale << ", " << font.pointSizeF() << " pt";
        }
}

TEST(FileRowDelegate, TheRowIsTallEnoughForBothLinesWithTheirDescent)
{
    QFont large = QApplication::font();
    large.setPointSizeF(13);
    for (const QFont& font : {QApplication::font(), large}) {
        QStyleOptionViewItem option;
        option.font = font;
        QFont path = font;
        path.setPointSizeF(font.pointSizeF() * 0.85);
        QFont name = font;
        name.setBold(true);
        const int needed = QFontMetrics(name).height() + QFontMetrics(path).height();
        EXPECT_GT(FileRowDelegate().sizeHint(option, QModelIndex()).height(), needed + 12) << font.pointSizeF() << " pt";
    }
}
