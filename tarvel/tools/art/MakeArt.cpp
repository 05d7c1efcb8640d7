// Draws the kit's pictures at build time: the 158 x 50 logo of the About window and the 64 x 64
// program icon. Letters are an 8-bit-style pixel font drawn as blocks, so the pictures do not
// depend on the fonts of the machine that builds them.
//
// Usage: tarvel_art LOGO.png ICON.png [LUMIVO_ICON.png]

#include <QColor>
#include <QImage>
#include <QLinearGradient>
#include <QMap>
#include <QPainter>
#include <QPainterPath>
#include <QString>

#include <cstdio>
#include <iterator>

namespace {

// 5 x 7 glyphs, one string per row, '#' for a set pixel.
const QMap<QChar, QStringList>& glyphs()
{
    static const QMap<QChar, QStringList> font{
        {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
        {'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},
        {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
        {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
        {'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
        {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
        {'M', {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}},
        {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
        {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
        {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
        {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
        {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
        {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
        {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
        {'X', {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}},
        {'3', {"####.", "....#", "....#", ".###.", "....#", "....#", "####."}},
        {' ', {".....", ".....", ".....", ".....", ".....", ".....", "....."}},
    };
    return font;
}

int textWidth(const QString& text, int scale)
{
    return text.isEmpty() ? 0 : (text.size() * 6 - 1) * scale;
}

// The outline of a text in blocks of `scale` pixels, its top left corner at `origin`.
QPainterPath textPath(const QString& text, QPoint origin, int scale)
{
    QPainterPath path;
    int x = origin.x();
    for (const QChar c : text) {
        const QStringList rows = glyphs().value(c, glyphs().value(' '));
        for (int row = 0; row < rows.size(); ++row) {
            for (int col = 0; col < rows[row].size(); ++col) {
                if (rows[row][col] == QLatin1Char('#'))
                    path.addRect(x + col * scale, origin.y() + row * scale, scale, scale);
            }
        }
        x += 6 * scale;
    }
    return path.simplified();
}

// Large letters: a blue shadow, then a yellow-to-orange fill.
void drawTitle(QPainter& painter, const QString& text, QPoint origin, int scale)
{
    const QPainterPath letters = textPath(text, origin, scale);
    painter.fillPath(letters.translated(scale / 2 + 1, scale / 2 + 1), QColor(0x59, 0x55, 0xE0));
    QLinearGradient fill(0, origin.y(), 0, origin.y() + 7 * scale);
    fill.setColorAt(0.0, QColor(0xFF, 0xF1, 0x76));
    fill.setColorAt(1.0, QColor(0xFF, 0x8A, 0x00));
    painter.fillPath(letters, fill);
}

// A stripe of eight colours of the MSX palette.
void drawStripe(QPainter& painter, const QRect& place)
{
    const QColor colours[] = {QColor(0x3E, 0xB8, 0x49), QColor(0x74, 0xD0, 0x7D), QColor(0x59, 0x55, 0xE0),
                              QColor(0x80, 0x76, 0xF1), QColor(0xB9, 0x5E, 0x51), QColor(0x65, 0xDB, 0xEF),
                              QColor(0xDB, 0x65, 0x59), QColor(0xFF, 0x89, 0x7D)};
    const int count = int(std::size(colours));
    for (int i = 0; i < count; ++i) {
        const int left = place.left() + place.width() * i / count;
        const int right = place.left() + place.width() * (i + 1) / count;
        painter.fillRect(QRect(left, place.top(), right - left, place.height()), colours[i]);
    }
}

void drawBackground(QPainter& painter, const QRect& area, int radius)
{
    painter.setRenderHint(QPainter::Antialiasing, true);
    QLinearGradient sky(0, area.top(), 0, area.bottom());
    sky.setColorAt(0.0, QColor(0x20, 0x20, 0x7A));
    sky.setColorAt(1.0, QColor(0x0C, 0x0C, 0x3A));
    painter.setPen(QPen(QColor(0x80, 0x76, 0xF1), 1));
    painter.setBrush(sky);
    painter.drawRoundedRect(QRectF(area).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    painter.setRenderHint(QPainter::Antialiasing, false);
}

QImage logo()
{
    QImage image(158, 50, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    drawBackground(painter, image.rect(), 6);
    const QString title = QStringLiteral("TARVEL");
    drawTitle(painter, title, QPoint((158 - textWidth(title, 3)) / 2, 5), 3);
    drawStripe(painter, QRect(13, 31, 132, 3));
    const QString subtitle = QStringLiteral("TURBO PASCAL 3 FOR MSX");
    painter.fillPath(textPath(subtitle, QPoint((158 - textWidth(subtitle, 1)) / 2, 38), 1), QColor(0xCC, 0xCC, 0xFF));
    return image;
}

QImage icon(const QString& letter)
{
    QImage image(64, 64, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    drawBackground(painter, image.rect(), 10);
    drawTitle(painter, letter, QPoint((64 - textWidth(letter, 6)) / 2, 6), 6);
    drawStripe(painter, QRect(8, 52, 48, 5));
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: %s LOGO.png ICON.png [LUMIVO_ICON.png]\n", argv[0]);
        return 2;
    }
    if (!logo().save(QString::fromLocal8Bit(argv[1]), "PNG")
        || !icon(QStringLiteral("T")).save(QString::fromLocal8Bit(argv[2]), "PNG")
        || (argc == 4 && !icon(QStringLiteral("L")).save(QString::fromLocal8Bit(argv[3]), "PNG"))) {
        std::fprintf(stderr, "%s: cannot write the pictures\n", argv[0]);
        return 1;
    }
    return 0;
}
