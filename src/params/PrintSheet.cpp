#include "params/PrintSheet.h"
#include "core/Controls.h"

#include "core/SystemTexts.h"

#include "params/AtomicFile.h"
#include "params/ParamFile.h"
#include "params/ParamTable.h"

#include <QBuffer>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPaintDevice>
#include <QPainter>
#include <QPdfWriter>

using Id = ctl::ControlId;

namespace {

SheetRowDef row(Id source, Id caption, Id value, std::optional<ParamId> id, std::optional<Id> value2 = {},
                std::optional<ParamId> id2 = std::nullopt) {
    return {ctl::name(source),
            ctl::name(caption),
            ctl::name(value),
            value2 ? ctl::name(*value2) : QString(),
            id,
            id2};
}

std::array<SheetRowDef, SheetRowCount> buildRows() {
    using P = ParamId;
    return {{
        row(Id::Label1, Id::Napis01, Id::Par01, P::ProbeKind),
        row(Id::Label2, Id::Napis02, Id::Par02, P::LambdaThreshold),
        row(Id::Label3, Id::Napis03, Id::Par03, P::SwitchRpm),
        row(Id::Label4, Id::Napis04, Id::Par04, P::TpsKind),
        row(Id::Label5, Id::Napis05, Id::Par05, P::TpsThreshold),
        row(Id::Label6, Id::Napis06, Id::Par06, P::StepSpeedAboveTps),
        row(Id::Label7, Id::Napis07, Id::Par07, P::StepSpeedBelowTps),
        row(Id::Label8, Id::Napis08, Id::Par08, P::MaxGasRpm),
        row(Id::Label9, Id::Napis09, Id::Par09, P::RpmKind),
        row(Id::Label10, Id::Napis10, Id::Par10, P::RpmDelta),
        row(Id::Label12, Id::Napis11, Id::Par11_1, P::StepMin, Id::Par11_2, P::StepMax),
        row(Id::Label13, Id::Napis12, Id::Par12, P::StepStart),
        row(Id::Label14, Id::Napis13, Id::Par13_1, P::LambdaLowTime, Id::Par13_2, P::LambdaHighTime),
        row(Id::Label16, Id::Napis14, Id::Par14, P::StartDelay),
        row(Id::Label17, Id::Napis15, Id::Par15, P::CutoffOn),
        row(Id::Label18, Id::Napis16, Id::Par16, P::CutoffStep),
        row(Id::Label19, Id::Napis17, Id::Par17, P::CutoffRpm),
        row(Id::Label20, Id::Napis18, Id::Par18, P::StepOpening),
        row(Id::Label21, Id::Napis19, Id::Par19, P::SwitchDelay),
        row(Id::Label22, Id::Napis20, Id::Par20, P::ControllerMode),
        row(Id::Label23, Id::Napis21, Id::Par21, P::ReserveSensorKind),
        row(Id::Label91, Id::Napis22, Id::Par22, std::nullopt),
        row(Id::ZmiennaTemperaturaLabel, Id::Napis23, Id::Par23, P::SwitchTemp),
    }};
}

QString valueText(ParamId id, const QString& stored, const SheetTexts& texts) {
    const ParamDef& d = paramDef(id);
    if (d.kind != ParamDef::Choice) return stored; // CutoffOn prints as stored, "1" or "0"
    const QStringList items = texts.listItems.value(id, d.items);
    bool ok = false;
    const int index = stored.trimmed().toInt(&ok);
    return ok && index >= 0 && index < items.size() ? items.at(index) : QString();
}

// Installed families tried for each family the sheet asks for, in order.
QStringList familyChain(const QString& asked) {
    const QString a = asked.toLower();
    if (a == QLatin1String("comic sans ms"))
        return {QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue"),
                QStringLiteral("Comic Relief"),  QStringLiteral("Liberation Sans"),
                QStringLiteral("Arimo"),         QStringLiteral("DejaVu Sans")};
    if (a == QLatin1String("arial"))
        return {QStringLiteral("Arial"),       QStringLiteral("Liberation Sans"),
                QStringLiteral("Arimo"),       QStringLiteral("Helvetica"),
                QStringLiteral("Nimbus Sans"), QStringLiteral("DejaVu Sans")};
    return {asked, QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")};
}

SheetOp text(const QString& t, const char* family, int size, bool bold, bool italic, QColor color, double x,
             double y, double room = 0) {
    SheetOp op;
    op.kind = SheetOp::Text;
    op.text = t;
    op.family = QString::fromLatin1(family);
    op.usedFamily = sheetFontFamily(op.family);
    op.pointSize = size;
    op.bold = bold;
    op.italic = italic;
    op.color = color;
    op.at = {x, y};
    op.room = room;
    if (room > 0 && !t.isEmpty() && qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        const double width = QFontMetricsF(sheetFont(op)).horizontalAdvance(t);
        if (width > room) op.scaleX = room / width;
    }
    return op;
}

} // namespace

const std::array<SheetRowDef, SheetRowCount>& sheetRowDefs() {
    static const std::array<SheetRowDef, SheetRowCount> rows = buildRows();
    return rows;
}

SheetTexts SheetTexts::builtIn() {
    SheetTexts t;
    t.title = QStringLiteral("Parametry systemu");
    const char* captions[SheetRowCount] = {
        "Rodzaj sondy lambda",
        "Próg sondy lambda",
        "Obroty dla przejścia B/G",
        "Typ czujnika TPS",
        "Próg czujnika TPS",
        "Silnik krok pow. TPS",
        "Silnik krok pon. TPS",
        "Maksymalne obroty na gazie",
        "Rodzaj obrotów",
        "Delta obrotów",
        "Min. i Max. silnika krok.",
        "Start. pow. silnika krok.",
        "Czas sondy Lambda",
        "Opóźnienie startowe",
        "Włączenie cutoff",
        "Silnik krokowy przy cutoff",
        "Obroty silnika dla cutoff",
        "Otwarcie silnika krokowego",
        "czas nakladania paliw",
        "Tryb pracy sterownika",
        "Typ szkiełka rezerwy",
        "Wybor ukladu zapłonowego",
        "Temperatura",
    };
    for (int i = 0; i < SheetRowCount; ++i)
        t.captions[static_cast<std::size_t>(i)] = QString::fromUtf8(captions[i]);
    return t;
}

PrintSheet buildPrintSheet(const ParameterSet& stored, const QString& ignitionText, const SheetTexts& texts,
                           bool withValues) {
    PrintSheet sheet;
    sheet.title = texts.title;
    for (std::size_t i = 0; i < sheet.rows.size(); ++i) {
        const SheetRowDef& def = sheetRowDefs()[i];
        SheetRow& r = sheet.rows[i];
        r.caption = texts.captions[i];
        r.twoValues = def.value2.has_value();
        if (!withValues) continue;
        r.value = def.value ? valueText(*def.value, stored[*def.value], texts) : ignitionText;
        if (def.value2) r.value2 = valueText(*def.value2, stored[*def.value2], texts);
    }
    return sheet;
}

QFont sheetFont(const SheetOp& op) {
    QFont f(op.usedFamily);
    f.setPixelSize(qRound(op.pointSize * double(SheetDesignDpi) / 72.0));
    f.setBold(op.bold);
    f.setItalic(op.italic);
    // Outlines as designed, not fitted to some screen's pixel grid.
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

QString sheetFontFamily(const QString& asked) {
    const QStringList chain = familyChain(asked);
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return chain.last();
    const QStringList installed = QFontDatabase::families();
    for (const QString& want : chain)
        for (const QString& have : installed)
            if (have.compare(want, Qt::CaseInsensitive) == 0) return have;
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}

std::vector<SheetOp> sheetOps(const PrintSheet& sheet) {
    const QColor blue(0, 0, 255), purple(128, 0, 128), black(0, 0, 0);
    std::vector<SheetOp> ops;
    ops.push_back(text(QStringLiteral("TAVRIN"), "comic sans ms", 32, true, true, blue, 250, 170));
    SheetOp ellipse;
    ellipse.kind = SheetOp::Ellipse;
    ellipse.color = black;
    ellipse.box = QRectF(QPointF(1450, 290), QPointF(2000, 590));
    ops.push_back(ellipse);
    // Texts followed by another on the same line keep a small gap before it.
    constexpr double Gap = 40;
    ops.push_back(text(QStringLiteral("QUEN"), "arial", 16, false, false, purple, 1530, 370, 1880 - 1530));
    // The mark's Greek lambda is the letter itself, not a Latin "l" in a Symbol font.
    ops.push_back(text(QString(QChar(0x03BB)), "arial", 16, true, false, purple, 1880, 364));
    ops.push_back(text(sheet.title, "arial", 16, true, false, black, 1250, 990));
    // In the free row above the first, as wide as the rows.
    if (!sheet.heading.isEmpty())
        ops.push_back(text(sheet.heading, "arial", 14, true, false, QColor(192, 0, 0), 250, 1170,
                           SheetDesignSize.width() - 2 * 250));
    for (int n = 1; n <= SheetRowCount; ++n) {
        const SheetRow& r = sheet.rows[static_cast<std::size_t>(n - 1)];
        const double y = 1170 + 170 * n;
        ops.push_back(text(r.caption, "arial", 16, false, false, black, 250, y, 2150 - 250 - Gap));
        ops.push_back(
            text(r.value, "arial", 16, false, false, black, 2150, y, r.twoValues ? 2500 - 2150 - Gap : 0));
        if (r.twoValues) ops.push_back(text(r.value2, "arial", 16, false, false, black, 2500, y));
    }
    return ops;
}

void paintSheet(QPainter& p, const QRectF& target, const std::vector<SheetOp>& ops) {
    const double scale =
        std::min(target.width() / SheetDesignSize.width(), target.height() / SheetDesignSize.height());
    if (scale <= 0) return;
    p.save();
    p.translate(target.left() + (target.width() - SheetDesignSize.width() * scale) / 2, target.top());
    p.scale(scale, scale);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    for (const SheetOp& op : ops) {
        if (op.kind == SheetOp::Ellipse) {
            p.setPen(QPen(op.color, 3));
            p.setBrush(Qt::white);
            p.drawEllipse(op.box);
            continue;
        }
        p.setFont(sheetFont(op));
        p.setPen(op.color);
        // Texts are placed by their top-left corner and never clipped or wrapped.
        p.save();
        p.translate(op.at);
        p.scale(op.scaleX, 1.0);
        p.drawText(QRectF(QPointF(0, 0), QSizeF(SheetDesignSize.width(), 1000)),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, op.text);
        p.restore();
    }
    p.restore();
}

bool printSheet(QPaintDevice& device, const PrintSheet& sheet) {
    QPainter p;
    if (!p.begin(&device)) return false;
    paintSheet(p, QRectF(0, 0, device.width(), device.height()), sheetOps(sheet));
    return p.end();
}

bool saveSheetPdf(const QString& path, const PrintSheet& sheet, QString* error) {
    // Drawn in memory first, so the file is written in one checked piece.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        pdf.setResolution(SheetDesignDpi);
        pdf.setTitle(sheet.title);
        pdf.setCreator(QStringLiteral("Quendrix"));
        if (!printSheet(pdf, sheet)) {
            if (error)
                *error = systemtext::text(systemtext::CannotSave)
                             .arg(path, systemtext::text(systemtext::PdfNotDrawn));
            return false;
        }
    }
    return writeFileAtomically(path, buffer.data(), error);
}
