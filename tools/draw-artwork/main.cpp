// Draws the pictures of the windows and the program icon. Every picture shares
// one background (a light vertical gradient that depends on the row only), so
// the overlapping banner, logo and message pictures join without a seam.
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QSvgGenerator>
#include <cstdio>
#include <functional>

namespace {

const QColor kNavy(0x1b, 0x3a, 0x5c);
const QColor kTeal(0x1f, 0x7a, 0x8c);
const QColor kGreen(0x4f, 0xa3, 0x6b);
const QColor kAmber(0xe8, 0xa3, 0x3d);
const QColor kGrey(0x5a, 0x67, 0x75);
const QColor kRed(0xc6, 0x28, 0x28);
const QColor kBlue(0x15, 0x65, 0xc0);
constexpr int kBandHeight = 77;  // the banner's height; all top pictures share its gradient

QImage Canvas(int width, int height) {
  QImage image(width, height, QImage::Format_ARGB32);
  QPainter p(&image);
  QLinearGradient band(0, 0, 0, kBandHeight);
  band.setColorAt(0, QColor(0xff, 0xff, 0xff));
  band.setColorAt(1, QColor(0xdc, 0xe6, 0xef));
  p.fillRect(image.rect(), band);
  return image;
}

QFont Font(int pixels, bool bold) {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

// The table emblem of the program: a sheet with a coloured header row, grid
// lines and one highlighted cell.
void DrawTable(QPainter& p, const QRectF& r, bool fine) {
  const qreal radius = r.width() / 8;
  QPainterPath sheet;
  sheet.addRoundedRect(r, radius, radius);
  p.fillPath(sheet, Qt::white);
  p.save();
  p.setClipPath(sheet);
  const qreal rowH = r.height() / 4;
  p.fillRect(QRectF(r.left(), r.top(), r.width(), rowH), kTeal);
  const qreal colW = r.width() / 3;
  p.fillRect(QRectF(r.left() + colW, r.top() + 2 * rowH, colW, rowH), kAmber);
  p.setPen(QPen(QColor(0xa9, 0xb8, 0xc6), fine ? 1.0 : r.width() / 24));
  for (int i = 2; i < 4; ++i) p.drawLine(QPointF(r.left(), r.top() + i * rowH), QPointF(r.right(), r.top() + i * rowH));
  for (int i = 1; i < 3; ++i) p.drawLine(QPointF(r.left() + i * colW, r.top() + rowH), QPointF(r.left() + i * colW, r.bottom()));
  p.restore();
  p.setPen(QPen(kNavy, fine ? 1.5 : r.width() / 16));
  p.setBrush(Qt::NoBrush);
  p.drawPath(sheet);
}

// A CAD document: a sheet with a folded corner and a small part drawing.
void DrawDocument(QPainter& p, const QRectF& r, const QColor& edge, qreal angle) {
  p.save();
  p.translate(r.center());
  p.rotate(angle);
  const QRectF s(-r.width() / 2, -r.height() / 2, r.width(), r.height());
  const qreal fold = r.width() / 4;
  QPainterPath sheet;
  sheet.moveTo(s.topLeft());
  sheet.lineTo(s.right() - fold, s.top());
  sheet.lineTo(s.right(), s.top() + fold);
  sheet.lineTo(s.bottomRight());
  sheet.lineTo(s.bottomLeft());
  sheet.closeSubpath();
  p.setPen(QPen(edge, 1.5));
  p.setBrush(Qt::white);
  p.drawPath(sheet);
  p.setBrush(edge.lighter(160));
  p.drawPolygon(QPolygonF({QPointF(s.right() - fold, s.top()), QPointF(s.right() - fold, s.top() + fold),
                           QPointF(s.right(), s.top() + fold)}));
  // The part: a plate with a bore and a centre line.
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(edge, 1.2));
  const QRectF plate(s.left() + s.width() * 0.18, s.top() + s.height() * 0.40, s.width() * 0.64, s.height() * 0.36);
  p.drawRect(plate);
  p.drawEllipse(plate.center(), plate.height() * 0.28, plate.height() * 0.28);
  p.setPen(QPen(edge, 0.8, Qt::DashDotLine));
  p.drawLine(QPointF(plate.center().x(), plate.top() - 4), QPointF(plate.center().x(), plate.bottom() + 4));
  p.restore();
}

void DrawArrow(QPainter& p, QPointF from, QPointF to, const QColor& colour) {
  p.setPen(QPen(colour, 3, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(from, to);
  p.setBrush(colour);
  p.setPen(Qt::NoPen);
  p.drawPolygon(QPolygonF({to + QPointF(6, 0), to + QPointF(-3, -6), to + QPointF(-3, 6)}));
}

QImage Banner() {
  QImage image = Canvas(277, 77);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  DrawTable(p, QRectF(12.5, 14.5, 48, 48), true);
  p.setPen(kNavy);
  p.setFont(Font(25, true));
  p.drawText(QPointF(72, 41), QStringLiteral("Tabellix"));
  p.setPen(kGrey);
  p.setFont(Font(10, false));
  p.drawText(QPointF(73, 58), QStringLiteral("CAD-Eigenschaften"));
  return image;
}

// The logos sit right of the banner; their left edge may be covered, so the
// drawing keeps to their right part.
QImage Logo(int width, const QColor& front, const QColor& back) {
  QImage image = Canvas(width, 77);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal right = width - 14;
  DrawDocument(p, QRectF(right - 110, 18, 34, 44), back, -10);
  DrawDocument(p, QRectF(right - 96, 14, 34, 44), front, 6);
  DrawArrow(p, QPointF(right - 54, 38), QPointF(right - 40, 38), kAmber);
  DrawTable(p, QRectF(right - 30, 24, 30, 30), true);
  return image;
}

QImage ColourStrip() {
  QImage image(320, 6, QImage::Format_ARGB32);
  QPainter p(&image);
  QLinearGradient strip(0, 0, 320, 0);
  strip.setColorAt(0.0, kNavy);
  strip.setColorAt(0.45, kTeal);
  strip.setColorAt(0.75, kGreen);
  strip.setColorAt(1.0, kAmber);
  p.fillRect(image.rect(), strip);
  return image;
}

// The message pictures: a round sign, a heading and a line of text; the
// right part (from x = 200) stays free for the logo that lies in front of it,
// and so do the texts of the banner.
QImage MessagePicture(const QColor& colour, const QString& heading, const QString& line,
                      const std::function<void(QPainter&, const QRectF&)>& sign) {
  QImage image = Canvas(270, 75);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF disc(13, 13, 48, 48);
  QRadialGradient shade(disc.center() - QPointF(8, 8), 40);
  shade.setColorAt(0, colour.lighter(135));
  shade.setColorAt(1, colour);
  p.setPen(QPen(colour.darker(130), 1.5));
  p.setBrush(shade);
  p.drawEllipse(disc);
  sign(p, disc);
  p.setPen(colour.darker(120));
  p.setFont(Font(19, true));
  p.drawText(QPointF(73, 38), heading);
  p.setPen(kGrey);
  p.setFont(Font(10, false));
  p.drawText(QPointF(74, 56), line);
  return image;
}

QImage ErrorPicture() {
  return MessagePicture(kRed, QStringLiteral("Fehler"), QStringLiteral("Meldung beachten"),
                        [](QPainter& p, const QRectF& d) {
                          p.setPen(QPen(Qt::white, 6, Qt::SolidLine, Qt::RoundCap));
                          const qreal k = d.width() * 0.2;
                          p.drawLine(d.center() + QPointF(-k, -k), d.center() + QPointF(k, k));
                          p.drawLine(d.center() + QPointF(-k, k), d.center() + QPointF(k, -k));
                        });
}

QImage InformationPicture() {
  return MessagePicture(kBlue, QStringLiteral("Information"), QStringLiteral("Hinweis zum Lauf"),
                        [](QPainter& p, const QRectF& d) {
                          p.setPen(Qt::NoPen);
                          p.setBrush(Qt::white);
                          p.drawEllipse(QPointF(d.center().x(), d.top() + 12), 3.6, 3.6);
                          p.drawRoundedRect(QRectF(d.center().x() - 3.5, d.top() + 19, 7, 19), 2, 2);
                        });
}

// The icon: the table emblem on a navy tile. The 16 pixel image is drawn on
// the pixel grid without anti-aliasing so its lines stay sharp.
void PaintIcon(QPainter& p, int size) {
  const bool small = size <= 16;
  p.setRenderHint(QPainter::Antialiasing, !small);
  const qreal radius = size / 6.0;
  p.setPen(Qt::NoPen);
  p.setBrush(kNavy);
  p.drawRoundedRect(QRectF(0, 0, size, size), radius, radius);
  if (small) {
    p.fillRect(2, 3, 12, 10, Qt::white);
    p.fillRect(2, 3, 12, 3, kTeal);
    p.fillRect(6, 9, 4, 2, kAmber);
    p.setPen(QColor(0xa9, 0xb8, 0xc6));
    p.drawLine(2, 8, 13, 8);
    p.drawLine(5, 6, 5, 12);
    p.drawLine(10, 6, 10, 12);
  } else {
    const qreal m = size * 0.14;
    DrawTable(p, QRectF(m, m, size - 2 * m, size - 2 * m), size < 40);
  }
}

QImage Icon(int size) {
  QImage image(size, size, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  PaintIcon(p, size);
  return image;
}

// The same drawing as a scalable icon for desktops that draw icons at any size.
bool SaveScalableIcon(const QDir& dir) {
  constexpr int kSize = 256;
  QSvgGenerator svg;
  svg.setFileName(dir.filePath(QStringLiteral("tabellix.svg")));
  svg.setSize(QSize(kSize, kSize));
  svg.setViewBox(QRect(0, 0, kSize, kSize));
  svg.setTitle(QStringLiteral("Tabellix"));
  QPainter p;
  if (!p.begin(&svg)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(svg.fileName()));
    return false;
  }
  PaintIcon(p, kSize);
  return p.end();
}

bool Save(const QImage& image, const QDir& dir, const QString& name) {
  const QString path = dir.filePath(name + QStringLiteral(".png"));
  if (image.save(path, "PNG")) return true;
  std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: tbx-draw-artwork <folder>\n");
    return 2;
  }
  const QDir dir(QString::fromLocal8Bit(argv[1]));
  bool ok = Save(Banner(), dir, QStringLiteral("banner"));
  ok = Save(Logo(191, kTeal, kNavy), dir, QStringLiteral("logo-a")) && ok;
  ok = Save(Logo(184, kNavy, kGrey), dir, QStringLiteral("logo-b")) && ok;
  ok = Save(Logo(191, kGreen, kTeal), dir, QStringLiteral("logo-c")) && ok;
  ok = Save(ColourStrip(), dir, QStringLiteral("colour-strip")) && ok;
  ok = Save(ErrorPicture(), dir, QStringLiteral("error")) && ok;
  ok = Save(InformationPicture(), dir, QStringLiteral("information")) && ok;
  for (int size : {16, 32, 48, 64, 128, 256}) ok = Save(Icon(size), dir, QStringLiteral("icon-%1").arg(size)) && ok;
  ok = SaveScalableIcon(dir) && ok;
  return ok ? 0 : 1;
}
