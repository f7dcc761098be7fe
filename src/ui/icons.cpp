#include "ui/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace varnix {

namespace {

const QColor kInk(0x1f, 0x3a, 0x68);
const QColor kPaper(0xfd, 0xfd, 0xfa);
const QColor kGreen(0x2e, 0x8b, 0x3e);
const QColor kRed(0xc6, 0x28, 0x28);
const QColor kBlue(0x2a, 0x6f, 0xc9);
const QColor kYellow(0xf2, 0xc0, 0x4a);
const QColor kNavy(0x14, 0x23, 0x5a);
const QColor kOrange(0xf5, 0x8a, 0x1f);

QPen InkPen(const QColor& color, double width) {
    QPen pen(color, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

void DrawSheet(QPainter& p) {
    QPainterPath sheet;
    sheet.moveTo(6, 3);
    sheet.lineTo(19, 3);
    sheet.lineTo(25, 9);
    sheet.lineTo(25, 29);
    sheet.lineTo(6, 29);
    sheet.closeSubpath();
    p.setPen(InkPen(kInk, 1.6));
    p.setBrush(kPaper);
    p.drawPath(sheet);
    p.drawLine(QPointF(19, 3), QPointF(19, 9));
    p.drawLine(QPointF(19, 9), QPointF(25, 9));
}

void DrawPlus(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawEllipse(QPointF(23, 23), 8, 8);
    p.setPen(InkPen(Qt::white, 2.6));
    p.drawLine(QPointF(23, 18.5), QPointF(23, 27.5));
    p.drawLine(QPointF(18.5, 23), QPointF(27.5, 23));
}

void DrawCross(QPainter& p, QPointF centre, double half, double width) {
    p.setPen(InkPen(kRed, width));
    p.drawLine(centre + QPointF(-half, -half), centre + QPointF(half, half));
    p.drawLine(centre + QPointF(-half, half), centre + QPointF(half, -half));
}

void DrawArrow(QPainter& p, bool up) {
    QPainterPath arrow;
    const double tip = up ? 4 : 28;
    const double base = up ? 16 : 16;
    const double tail = up ? 28 : 4;
    arrow.moveTo(16, tip);
    arrow.lineTo(27, base);
    arrow.lineTo(20, base);
    arrow.lineTo(20, tail);
    arrow.lineTo(12, tail);
    arrow.lineTo(12, base);
    arrow.lineTo(5, base);
    arrow.closeSubpath();
    p.setPen(InkPen(kInk, 1.4));
    p.setBrush(kBlue);
    p.drawPath(arrow);
}

void DrawDisc(QPainter& p, const QColor& color, const QString& letter) {
    p.setPen(InkPen(kInk, 1.4));
    p.setBrush(color);
    p.drawEllipse(QPointF(16, 16), 13, 13);
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(19);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(3, 3, 26, 26), Qt::AlignCenter, letter);
}

void DrawIcon(QPainter& p, ButtonIcon kind) {
    switch (kind) {
        case ButtonIcon::AddFile:
            DrawSheet(p);
            DrawPlus(p);
            break;
        case ButtonIcon::AddTime:
            p.setPen(InkPen(kInk, 1.6));
            p.setBrush(kPaper);
            p.drawEllipse(QPointF(14, 14), 11, 11);
            p.drawLine(QPointF(14, 14), QPointF(14, 7));
            p.drawLine(QPointF(14, 14), QPointF(19, 16));
            DrawPlus(p);
            break;
        case ButtonIcon::Delete:
            DrawSheet(p);
            DrawCross(p, QPointF(22, 22), 6, 3.2);
            break;
        case ButtonIcon::ClearAll:
            p.setPen(InkPen(kInk, 2.2));
            for (int y : {7, 13, 19, 25}) {
                p.drawLine(QPointF(4, y), QPointF(20, y));
            }
            DrawCross(p, QPointF(23, 22), 6, 3.2);
            break;
        case ButtonIcon::MoveUp:
            DrawArrow(p, true);
            break;
        case ButtonIcon::MoveDown:
            DrawArrow(p, false);
            break;
        case ButtonIcon::Folder: {
            QPainterPath folder;
            folder.moveTo(3, 8);
            folder.lineTo(12, 8);
            folder.lineTo(15, 11);
            folder.lineTo(29, 11);
            folder.lineTo(29, 27);
            folder.lineTo(3, 27);
            folder.closeSubpath();
            p.setPen(InkPen(kInk, 1.6));
            p.setBrush(kYellow);
            p.drawPath(folder);
            p.drawLine(QPointF(3, 14), QPointF(29, 14));
            break;
        }
        case ButtonIcon::Help:
            DrawDisc(p, kBlue, QStringLiteral("?"));
            break;
        case ButtonIcon::About:
            DrawDisc(p, kBlue, QStringLiteral("i"));
            break;
        case ButtonIcon::Process: {
            QPainterPath play;
            play.moveTo(8, 5);
            play.lineTo(27, 16);
            play.lineTo(8, 27);
            play.closeSubpath();
            p.setPen(InkPen(kInk, 1.6));
            p.setBrush(kGreen);
            p.drawPath(play);
            break;
        }
        case ButtonIcon::Close:
            p.setPen(InkPen(kInk, 1.6));
            p.setBrush(kPaper);
            p.drawRoundedRect(QRectF(4, 4, 24, 24), 4, 4);
            DrawCross(p, QPointF(16, 16), 6, 3.2);
            break;
        case ButtonIcon::Cancel:
            p.setPen(InkPen(kInk, 1.4));
            p.setBrush(kRed);
            p.drawEllipse(QPointF(16, 16), 13, 13);
            p.setPen(InkPen(Qt::white, 3.6));
            p.drawLine(QPointF(10, 16), QPointF(22, 16));
            break;
    }
}

void DrawApplicationIcon(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(kNavy);
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
    // A waveform of bars, cut by a dashed line.
    p.setPen(InkPen(QColor(0x9f, 0xd3, 0xff), 2.0));
    const double heights[] = {4, 9, 14, 7, 11, 16, 10, 5, 12, 8};
    for (int i = 0; i < 10; ++i) {
        const double x = 5.0 + i * 2.5;
        p.drawLine(QPointF(x, 16 - heights[i] / 2), QPointF(x, 16 + heights[i] / 2));
    }
    QPen cut(kOrange, 2.0, Qt::CustomDashLine, Qt::FlatCap);
    cut.setDashPattern({1.5, 1.5});
    p.setPen(cut);
    p.drawLine(QPointF(16.25, 3), QPointF(16.25, 29));
}

template <typename Draw>
QIcon PaintedIcon(Draw draw) {
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 32.0, size / 32.0);
        draw(p);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace

QIcon MakeButtonIcon(ButtonIcon kind) {
    return PaintedIcon([kind](QPainter& p) { DrawIcon(p, kind); });
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption,
                        const QString& hint, ButtonIcon icon) {
    auto* button = new QPushButton(MakeButtonIcon(icon), caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(hint);
    button->setIconSize(QSize(22, 22));
    button->setAutoDefault(false);
    if (caption.isEmpty()) {
        button->setFixedSize(36, 32);
    }
    return button;
}

QIcon ApplicationIcon() {
    return QIcon::fromTheme(QStringLiteral("varnix"),
                            PaintedIcon([](QPainter& p) { DrawApplicationIcon(p); }));
}

}  // namespace varnix
