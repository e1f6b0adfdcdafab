#include "app/scanner/FileListModel.h"
#include "app/scanner/FileRowDelegate.h"

#include <QApplication>
#include <QImage>
#include <QListView>
#include <QPainter>
#include <QStandardItemModel>

#include <gtest/gtest.h>

namespace {

QStandardItem* fileItem(const QString& path)
{
    auto* item = new QStandardItem(QStringLiteral("data.pdf"));
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

// The first and last pixel rows in which the two images differ.
std::pair<int, int> differingRows(const QImage& a, const QImage& b)
{
    int first = -1;
    int last = -1;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) {
                first = first < 0 ? y : first;
                last = y;
                break;
            }
    return {first, last};
}

// The height in pixels of the text's ink when nothing can clip it.
int unclippedInkHeight(const QString& text, const QFont& font, qreal scale)
{
    const QFontMetrics metrics(font);
    const QSize size(metrics.horizontalAdvance(text) + 20, metrics.height() * 3);
    QImage blank(size * scale, QImage::Format_ARGB32_Premultiplied);
    blank.setDevicePixelRatio(scale);
    blank.fill(Qt::white);
    QImage drawn = blank;
    QPainter painter(&drawn);
    painter.setFont(font);
    painter.setPen(Qt::gray);
    painter.drawText(QPointF(10, metrics.height() + metrics.ascent()), text);
    painter.end();
    const auto [first, last] = differingRows(drawn, blank);
    return last - first + 1;
}

}

// The row's path line, found as what an empty path leaves out, carries all the ink of the same
// text drawn with nothing to clip it: descenders and underscores are not cut off.
TEST(FileRowDelegate, ThePathLineIsNotCutOffAtTheBottom)
{
    const QString path = QStringLiteral("/g_q_y/report_final.pdf");
    QFont large = QApplication::font();
    large.setPointSizeF(13);
    for (const QFont& font : {QApplication::font(), large})
        for (const qreal scale : {1.0, 2.0}) {
            const auto [first, last] = differingRows(render(path, scale, font), render(QString(), scale, font));
            QFont pathFont = font;
            pathFont.setPointSizeF(font.pointSizeF() * 0.85);
            EXPECT_EQ(last - first + 1, unclippedInkHeight(path, pathFont, scale)) << "scale " << scale << ", " << font.pointSizeF() << " pt";
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
