// Renders an SVG icon into a square PNG of a given size, for the icon theme
// folders of the package:  render_icon ICON.svg SIZE OUT.png
// Runs without a display (Qt's SVG image plugin, no window system).
#include <QCoreApplication>
#include <QImage>
#include <QImageReader>
#include <QTextStream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    bool ok = false;
    const int size = args.value(2).toInt(&ok);
    if (args.size() != 4 || !ok || size < 1) {
        QTextStream(stderr) << "usage: render_icon ICON.svg SIZE OUT.png\n";
        return 2;
    }
    QImageReader reader(args[1]);
    reader.setScaledSize(QSize(size, size));
    QImage image = reader.read();
    if (image.isNull()) {
        QTextStream(stderr) << "render_icon: " << args[1] << ": " << reader.errorString() << '\n';
        return 1;
    }
    image = image.convertToFormat(QImage::Format_ARGB32);
    if (!image.save(args[3], "PNG")) {
        QTextStream(stderr) << "render_icon: cannot write " << args[3] << '\n';
        return 1;
    }
    return 0;
}
