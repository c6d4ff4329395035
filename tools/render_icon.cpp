// Renders an SVG picture at build time into its pixels, so that the program shows its icons
// without an SVG engine or any image reader (whose plugins would all load at start-up); and
// into the Windows icon file (.ico) that Windows shows for the program file, one
// PNG-compressed picture for each size.
// Usage: render_icon IN.svg OUT.rgba SIZE   (premultiplied RGBA, 4 bytes a pixel, row by row)
//        render_icon IN.svg OUT.ico SIZE[,SIZE...]   (sizes from 1 to 256)
#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>
#include <QtEndian>

namespace {

QImage Render(QSvgRenderer& svg, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    svg.render(&painter);
    painter.end();
    return image;
}

template <typename T> void Put(QByteArray& out, T value) {
    char bytes[sizeof(T)];
    qToLittleEndian(value, bytes);
    out.append(bytes, sizeof(T));
}

// The ICO layout: a 6-byte header, a 16-byte entry per picture, then the pictures.
bool WriteIco(QSvgRenderer& svg, const QList<int>& sizes, const QString& path) {
    QList<QByteArray> pngs;
    for (int size : sizes) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!Render(svg, size).save(&buffer, "PNG")) return false;
        pngs.append(png);
    }
    QByteArray out;
    Put<quint16>(out, 0); // reserved
    Put<quint16>(out, 1); // an icon, not a cursor
    Put<quint16>(out, quint16(sizes.size()));
    quint32 offset = quint32(6 + 16 * sizes.size());
    for (qsizetype i = 0; i < sizes.size(); ++i) {
        const quint8 side = sizes[i] >= 256 ? 0 : quint8(sizes[i]); // 0 stands for 256
        Put<quint8>(out, side);
        Put<quint8>(out, side);
        Put<quint8>(out, 0);   // no palette
        Put<quint8>(out, 0);   // reserved
        Put<quint16>(out, 1);  // colour planes
        Put<quint16>(out, 32); // bits per pixel
        Put<quint32>(out, quint32(pngs[i].size()));
        Put<quint32>(out, offset);
        offset += quint32(pngs[i].size());
    }
    for (const QByteArray& png : pngs)
        out.append(png);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(out) == out.size() && file.flush();
}

bool WritePixels(const QImage& image, const QString& path) {
    const QImage pixels = image.convertToFormat(QImage::Format_RGBA8888_Premultiplied);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           file.write(reinterpret_cast<const char*>(pixels.constBits()), pixels.sizeInBytes()) ==
               pixels.sizeInBytes() &&
           file.flush();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) return 2;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
    if (!svg.isValid()) return 1;
    const QString out = QString::fromLocal8Bit(argv[2]);
    QList<int> sizes;
    for (const QString& size : QString::fromLocal8Bit(argv[3]).split(',')) {
        bool ok = false;
        sizes.append(size.toInt(&ok));
        if (!ok || sizes.last() < 1 || sizes.last() > 256) return 2;
    }
    if (out.endsWith(QLatin1String(".ico"), Qt::CaseInsensitive))
        return WriteIco(svg, sizes, out) ? 0 : 1;
    if (sizes.size() != 1) return 2;
    return WritePixels(Render(svg, sizes.first()), out) ? 0 : 1;
}
