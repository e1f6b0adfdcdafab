// Renders the application's SVG icon to a square PNG that carries the owner marker of the
// files the application installs: rendericon SVG SIZE OUTPUT
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: rendericon SVG SIZE OUTPUT\n");
        return 2;
    }
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    bool number = false;
    const int size = QString::fromLocal8Bit(argv[2]).toInt(&number);
    if (!renderer.isValid() || !number || size <= 0) {
        std::fprintf(stderr, "rendericon: cannot render %s at %s\n", argv[1], argv[2]);
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    painter.end();
    image.setText(QStringLiteral("X-Tallyroom-Owned"), QStringLiteral("true"));
    if (!image.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
        std::fprintf(stderr, "rendericon: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
