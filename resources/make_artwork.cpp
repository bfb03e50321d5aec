// tolvan-make-artwork DIR: draws the program's icons and pictures into DIR as
// PNG files named after their resource numbers (128.png, 129.png, ...). The
// build runs it and compiles the files in; nothing here draws text, so it
// needs no fonts and no display.
//
// tolvan-make-artwork --icons DIR NAME: draws the application icon for the
// desktop's icon theme, DIR/hicolor/SIZExSIZE/apps/NAME.png at the sizes
// desktops ask for and DIR/hicolor/scalable/apps/NAME.svg, from the same
// drawing as the window's icon.

#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QString>
#include <QSvgGenerator>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "resources/ResourceIds.h"

namespace {

const QColor kBlue(78, 128, 202);
const QColor kPale(216, 228, 248);
const QColor kSky(127, 194, 229);
const QColor kDeep(40, 78, 140);

QImage Blank(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void Begin(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
}

// Vertical bars of a voice level, mirrored around the middle line.
void VoiceBars(QPainter& p, QRectF area, const double* levels, int count, const QBrush& brush) {
    const double step = area.width() / count;
    const double barWidth = step * 0.55;
    p.setBrush(brush);
    for (int i = 0; i < count; ++i) {
        const double h = std::max(barWidth, area.height() * levels[i]);
        const double x = area.left() + i * step + (step - barWidth) / 2;
        p.drawRoundedRect(QRectF(x, area.center().y() - h / 2, barWidth, h), barWidth / 2, barWidth / 2);
    }
}

// The application icon on a grid of 48 x 48 units.
void DrawAppIcon(QPainter& p) {
    Begin(p);
    QLinearGradient g(0, 0, 0, 48);
    g.setColorAt(0, kSky);
    g.setColorAt(1, kBlue);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(2, 2, 44, 44), 10, 10);
    const double levels[] = {0.25, 0.5, 0.85, 0.6, 1.0, 0.45, 0.3};
    VoiceBars(p, QRectF(8, 10, 32, 28), levels, 7, Qt::white);
}

QImage AppIcon(int size) {
    QImage image = Blank(size, size);
    QPainter p(&image);
    p.scale(size / 48.0, size / 48.0);
    DrawAppIcon(p);
    return image;
}

bool WriteScalableAppIcon(const QString& path, const QString& name) {
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setTitle(name);
    svg.setSize(QSize(48, 48));
    svg.setViewBox(QRect(0, 0, 48, 48));
    QPainter p;
    if (!p.begin(&svg)) return false;
    DrawAppIcon(p);
    return p.end();
}

// The desktop's icons: the sizes of the hicolor theme that menus, docks,
// launchers and software centres look for.
int WriteDesktopIcons(const QString& dir, const QString& name) {
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1/hicolor/%2x%2/apps").arg(dir).arg(size);
        const QString path = QStringLiteral("%1/%2.png").arg(folder, name);
        if (!QDir().mkpath(folder) || !AppIcon(size).save(path, "PNG")) {
            std::fprintf(stderr, "tolvan-make-artwork: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    const QString folder = dir + QStringLiteral("/hicolor/scalable/apps");
    const QString path = QStringLiteral("%1/%2.svg").arg(folder, name);
    if (!QDir().mkpath(folder) || !WriteScalableAppIcon(path, name)) {
        std::fprintf(stderr, "tolvan-make-artwork: cannot write %s\n", qPrintable(path));
        return 1;
    }
    return 0;
}

QImage TreePicture() {
    QImage image(170, 137, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    Begin(p);
    QLinearGradient sky(0, 0, 0, 137);
    sky.setColorAt(0, Qt::white);
    sky.setColorAt(1, kPale);
    p.fillRect(image.rect(), sky);
    // A recording's level over time: a smooth envelope of thin bars.
    const int bars = 34;
    double levels[bars];
    for (int i = 0; i < bars; ++i) {
        const double t = i / double(bars - 1);
        levels[i] = 0.12 + 0.78 * std::pow(std::sin(t * M_PI), 1.5) * (0.6 + 0.4 * std::fabs(std::sin(t * 11.0)));
    }
    QLinearGradient bar(0, 20, 0, 110);
    bar.setColorAt(0, kSky);
    bar.setColorAt(0.5, kBlue);
    bar.setColorAt(1, kSky);
    VoiceBars(p, QRectF(12, 22, 146, 80), levels, bars, bar);
    // The timeline under it, with the played part darker.
    p.setBrush(kPale.darker(115));
    p.drawRoundedRect(QRectF(14, 116, 142, 4), 2, 2);
    p.setBrush(kBlue);
    p.drawRoundedRect(QRectF(14, 116, 58, 4), 2, 2);
    p.setBrush(Qt::white);
    p.setPen(QPen(kBlue, 1.5));
    p.drawEllipse(QPointF(72, 118), 4, 4);
    return image;
}

QImage ExportIcon() {
    QImage image = Blank(24, 24);
    QPainter p(&image);
    Begin(p);
    // A sheet with a table on it, and an arrow leaving it.
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(3, 2, 14, 19), 1.5, 1.5);
    p.setPen(QPen(kBlue, 1));
    for (int y = 7; y <= 17; y += 5) p.drawLine(QPointF(5, y), QPointF(15, y));
    p.drawLine(QPointF(9.5, 4), QPointF(9.5, 19));
    p.setPen(Qt::NoPen);
    p.setBrush(kSky);
    QPainterPath arrow;
    arrow.moveTo(13, 12);
    arrow.lineTo(18, 12);
    arrow.lineTo(18, 8.5);
    arrow.lineTo(23, 14.5);
    arrow.lineTo(18, 20.5);
    arrow.lineTo(18, 17);
    arrow.lineTo(13, 17);
    arrow.closeSubpath();
    p.setPen(QPen(kDeep, 0.8));
    p.drawPath(arrow);
    return image;
}

QImage RefreshIcon() {
    QImage image = Blank(24, 24);
    QPainter p(&image);
    Begin(p);
    QPen pen(Qt::white, 2.6, Qt::SolidLine, Qt::RoundCap);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const QRectF ring(4, 4, 16, 16);
    p.drawArc(ring, 100 * 16, 250 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    QPainterPath head;  // arrow head at the ring's open end, pointing clockwise
    head.moveTo(10.5, 0.8);
    head.lineTo(16.5, 4.2);
    head.lineTo(10.5, 7.8);
    head.closeSubpath();
    p.drawPath(head);
    return image;
}

QPainterPath Triangle(QPointF a, QPointF b, QPointF c) {
    QPainterPath path;
    path.moveTo(a);
    path.lineTo(b);
    path.lineTo(c);
    path.closeSubpath();
    return path;
}

QImage TransportIcon(int id) {
    QImage image = Blank(24, 24);
    QPainter p(&image);
    Begin(p);
    p.setBrush(kBlue);
    switch (id) {
    case IDI_PLAY:
        p.drawPath(Triangle({7, 4}, {20, 12}, {7, 20}));
        break;
    case IDI_PLAYING:
        p.setPen(QPen(kBlue, 1.5));
        p.setBrush(kSky);
        p.drawPath(Triangle({7, 4.5}, {19.5, 12}, {7, 19.5}));
        break;
    case IDI_PAUSE:
        p.drawRoundedRect(QRectF(6, 4, 4.5, 16), 1, 1);
        p.drawRoundedRect(QRectF(13.5, 4, 4.5, 16), 1, 1);
        break;
    case IDI_STOP:
        p.drawRoundedRect(QRectF(5, 5, 14, 14), 2, 2);
        break;
    case IDI_PREVIOUS:
        p.drawRoundedRect(QRectF(4, 5, 3, 14), 1, 1);
        p.drawPath(Triangle({20, 5}, {8, 12}, {20, 19}));
        break;
    case IDI_NEXT:
        p.drawRoundedRect(QRectF(17, 5, 3, 14), 1, 1);
        p.drawPath(Triangle({4, 5}, {16, 12}, {4, 19}));
        break;
    }
    return image;
}

void Speaker(QPainter& p) {
    p.setBrush(kBlue);
    QPainterPath body;
    body.moveTo(1.5, 5.5);
    body.lineTo(4.5, 5.5);
    body.lineTo(8.5, 2);
    body.lineTo(8.5, 14);
    body.lineTo(4.5, 10.5);
    body.lineTo(1.5, 10.5);
    body.closeSubpath();
    p.drawPath(body);
}

QImage SoundIcon(bool muted) {
    QImage image = Blank(16, 16);
    QPainter p(&image);
    Begin(p);
    Speaker(p);
    p.setBrush(Qt::NoBrush);
    if (muted) {
        p.setPen(QPen(QColor(196, 58, 58), 1.8, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(10.5, 5.5), QPointF(14.5, 10.5));
        p.drawLine(QPointF(14.5, 5.5), QPointF(10.5, 10.5));
    } else {
        p.setPen(QPen(kBlue, 1.3, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(6, 4.5, 6, 7), -50 * 16, 100 * 16);
        p.drawArc(QRectF(5, 2, 10, 12), -55 * 16, 110 * 16);
    }
    return image;
}

QImage ConvertIcon() {
    QImage image = Blank(24, 24);
    QPainter p(&image);
    Begin(p);
    // Sound on the left becomes a file on the right.
    const double levels[] = {0.35, 0.8, 0.5, 1.0, 0.4};
    VoiceBars(p, QRectF(1, 5, 9, 14), levels, 5, Qt::white);
    p.setBrush(kSky);
    p.drawPath(Triangle({10.5, 8.5}, {14, 12}, {10.5, 15.5}));
    p.setBrush(Qt::white);
    QPainterPath sheet;
    sheet.moveTo(15, 4);
    sheet.lineTo(20, 4);
    sheet.lineTo(23, 7);
    sheet.lineTo(23, 20);
    sheet.lineTo(15, 20);
    sheet.closeSubpath();
    p.drawPath(sheet);
    p.setPen(QPen(kBlue, 1));
    p.drawLine(QPointF(17, 11), QPointF(21, 11));
    p.drawLine(QPointF(17, 14), QPointF(21, 14));
    p.drawLine(QPointF(17, 17), QPointF(21, 17));
    return image;
}

// The volume slider's track on the playback panel's colour, opaque 24-bit;
// filled, the groove shows the level.
QImage VolumeChannel(bool filled) {
    QImage image(132, 17, QImage::Format_RGB32);
    image.fill(kPale);
    QPainter p(&image);
    Begin(p);
    const QRectF groove(2.5, 6, 127, 5);
    p.setBrush(kPale.darker(130));
    p.drawRoundedRect(groove.adjusted(-0.5, -0.5, 0.5, 0.5), 3, 3);
    QLinearGradient g(0, groove.top(), 0, groove.bottom());
    if (filled) {
        g.setColorAt(0, kSky);
        g.setColorAt(1, kBlue);
    } else {
        g.setColorAt(0, Qt::white);
        g.setColorAt(1, kPale.lighter(104));
    }
    p.setBrush(g);
    p.drawRoundedRect(groove.adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
    return image;
}

// The volume slider's thumb, 24-bit: pure red is the key colour, in the
// rounded corners only (two pixels at each end of the outer rows, one at
// each end of the rows inside them), and nowhere else.
QImage VolumeThumb(bool pressed) {
    QImage image(23, 11, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient g(0, 0, 0, 11);
    g.setColorAt(0, pressed ? kSky : Qt::white);
    g.setColorAt(1, pressed ? kBlue : kSky);
    p.fillRect(image.rect(), g);
    p.setPen(kDeep);
    p.drawRect(0, 0, 22, 10);
    p.setPen(pressed ? Qt::white : kBlue);
    for (int x : {9, 11, 13}) p.drawLine(x, 3, x, 7);
    p.end();
    const QRgb key = qRgb(255, 0, 0);
    for (int y : {0, 10})
        for (int x : {0, 1, 21, 22}) image.setPixel(x, y, key);
    for (int y : {1, 9})
        for (int x : {0, 22}) image.setPixel(x, y, key);
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--icons") == 0)
        return WriteDesktopIcons(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    if (argc != 2) {
        std::fprintf(stderr, "usage: tolvan-make-artwork DIR\n       tolvan-make-artwork --icons DIR NAME\n");
        return 1;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    struct Piece {
        int id;
        QImage image;
    };
    const Piece pieces[] = {
        {IDR_MAINFRAME, AppIcon(48)},
        {IDB_TREE_PICTURE, TreePicture()},
        {IDB_VOLUME_CHANNEL, VolumeChannel(false)},
        {IDB_VOLUME_FILLED, VolumeChannel(true)},
        {IDB_VOLUME_THUMB, VolumeThumb(false)},
        {IDB_VOLUME_PRESSED, VolumeThumb(true)},
        {IDI_EXPORT, ExportIcon()},
        {IDI_REFRESH, RefreshIcon()},
        {IDI_PLAY, TransportIcon(IDI_PLAY)},
        {IDI_PLAYING, TransportIcon(IDI_PLAYING)},
        {IDI_PAUSE, TransportIcon(IDI_PAUSE)},
        {IDI_STOP, TransportIcon(IDI_STOP)},
        {IDI_PREVIOUS, TransportIcon(IDI_PREVIOUS)},
        {IDI_NEXT, TransportIcon(IDI_NEXT)},
        {IDI_SOUND, SoundIcon(false)},
        {IDI_MUTED, SoundIcon(true)},
        {IDI_CONVERT, ConvertIcon()},
    };
    for (const Piece& piece : pieces) {
        const QString path = QStringLiteral("%1/%2.png").arg(dir).arg(piece.id);
        if (!piece.image.save(path, "PNG")) {
            std::fprintf(stderr, "tolvan-make-artwork: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
