// kestrane-icons: writes the program's icon for the desktop's icon theme,
// drawn from the same emblem as the window's own icon: a scalable SVG and
// PNG files of the usual sizes.
//   kestrane-icons OUTDIR NAME
// writes OUTDIR/scalable/apps/NAME.svg and OUTDIR/<n>x<n>/apps/NAME.png.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTextStream>

#include <cstdio>

#include "controls/Artwork.h"

namespace {

using kestrane::controls::Artwork;

// A path as SVG path data.
QString pathData(const QPainterPath& path) {
    QString d;
    QTextStream out(&d);
    out.setRealNumberPrecision(6);
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        switch (e.type) {
        case QPainterPath::MoveToElement: out << "M" << e.x << "," << e.y << " "; break;
        case QPainterPath::LineToElement: out << "L" << e.x << "," << e.y << " "; break;
        case QPainterPath::CurveToElement: out << "C" << e.x << "," << e.y << " "; break;
        case QPainterPath::CurveToDataElement: out << e.x << "," << e.y << " "; break;
        }
    }
    return d.trimmed();
}

QString colour(const QColor& c) { return c.name(QColor::HexRgb); }

QString svg(int size) {
    const QRectF box(size * 0.07, 0.5, size * 0.86, size - 1.0);
    const Artwork::Emblem e = Artwork::emblem(box);
    QString s;
    QTextStream out(&s);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << size << "\" height=\"" << size
        << "\" viewBox=\"0 0 " << size << " " << size << "\">\n"
        << "  <defs>\n    <linearGradient id=\"fill\" gradientUnits=\"userSpaceOnUse\" x1=\"" << e.fillFrom.x()
        << "\" y1=\"" << e.fillFrom.y() << "\" x2=\"" << e.fillTo.x() << "\" y2=\"" << e.fillTo.y() << "\">\n";
    for (const auto& [at, c] : e.stops) out << "      <stop offset=\"" << at << "\" stop-color=\"" << colour(c) << "\"/>\n";
    out << "    </linearGradient>\n  </defs>\n"
        << "  <path d=\"" << pathData(e.shield) << "\" fill=\"url(#fill)\" stroke=\"#ffffff\" stroke-width=\""
        << e.outlineWidth << "\"/>\n"
        << "  <path d=\"" << pathData(e.wing) << "\" fill=\"" << colour(e.wingColour) << "\" fill-opacity=\""
        << e.wingColour.alphaF() << "\"/>\n"
        << "  <path d=\"" << pathData(e.check) << "\" fill=\"none\" stroke=\"" << colour(e.checkColour)
        << "\" stroke-width=\"" << e.checkWidth << "\" stroke-linecap=\"round\" stroke-linejoin=\"round\"/>\n"
        << "</svg>\n";
    return s;
}

bool writeText(const QString& file, const QString& text) {
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    return f.write(text.toUtf8()) >= 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: kestrane-icons OUTDIR NAME\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QString name = QString::fromLocal8Bit(argv[2]);
    if (!out.mkpath(QStringLiteral("scalable/apps")) ||
        !writeText(out.filePath(QStringLiteral("scalable/apps/%1.svg").arg(name)), svg(256)))
        return 1;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1x%1/apps").arg(size);
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        Artwork::paintEmblem(p, QRectF(size * 0.07, 0.5, size * 0.86, size - 1.0));
        p.end();
        if (!out.mkpath(folder) || !image.save(out.filePath(folder + QStringLiteral("/%1.png").arg(name)), "PNG"))
            return 1;
    }
    return 0;
}
