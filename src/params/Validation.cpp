#include "params/Validation.h"
#include "core/Controls.h"

#include <QRegularExpression>
#include <algorithm>

using Id = ctl::ControlId;

namespace validation {

std::optional<QChar> filterKey(Filter filter, QChar typed) {
    const char16_t c = typed.unicode();
    if ((c >= u'0' && c <= u'9') || c == 8 || c == 127) return typed;
    if (filter == Filter::Decimal) {
        if (c == u',') return typed;
        if (c == u'.') return QChar(u',');
    }
    return std::nullopt;
}

std::optional<double> readNumber(const QString& text) {
    static const QRegularExpression number(QStringLiteral("^\\s*[+-]?(\\d+(,\\d*)?|,\\d+)\\s*$"));
    if (!number.match(text).hasMatch()) return std::nullopt;
    QString t = text.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    if (t.endsWith(QLatin1Char('.'))) t.chop(1);
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok) return std::nullopt;
    return v;
}

std::optional<int> readWhole(const QString& text) {
    static const QRegularExpression whole(QStringLiteral("^\\s*[+-]?\\d+\\s*$"));
    if (!whole.match(text).hasMatch()) return std::nullopt;
    bool ok = false;
    const int v = text.trimmed().toInt(&ok); // fails outside the int range
    if (!ok) return std::nullopt;
    return v;
}

QString filterInsertion(Filter filter, int maxLength, const QString& before, const QString& after,
                        int* cursor) {
    // The inserted part is what lies between the longest common head and tail.
    const qsizetype shorter = std::min(before.size(), after.size());
    qsizetype head = 0;
    while (head < shorter && before.at(head) == after.at(head))
        ++head;
    qsizetype tail = 0;
    while (tail < shorter - head && before.at(before.size() - 1 - tail) == after.at(after.size() - 1 - tail))
        ++tail;
    const qsizetype insertedEnd = after.size() - tail;

    QString kept;
    for (qsizetype i = head; i < insertedEnd; ++i) {
        const std::optional<QChar> c = filterKey(filter, after.at(i));
        if (c && c->unicode() != 8 && c->unicode() != 127) kept.append(*c);
    }
    const qsizetype rest = after.size() - (insertedEnd - head);
    const qsizetype room = std::max<qsizetype>(0, maxLength - rest);
    if (kept.size() > room) kept.truncate(room);

    if (cursor) {
        const qsizetype c = *cursor;
        if (c >= insertedEnd)
            *cursor = int(c - (insertedEnd - head) + kept.size());
        else if (c > head)
            *cursor = int(head + std::min<qsizetype>(c - head, kept.size()));
    }
    return after.left(head) + kept + after.mid(insertedEnd);
}

QString faultMessage(const Checked& checked, const QString& notFloat, const QString& notInteger) {
    switch (checked.fault) {
    case Fault::NotFloat:
        return QString(notFloat).replace(QLatin1String("%1"), checked.unreadable);
    case Fault::NotInteger:
        return QString(notInteger).replace(QLatin1String("%1"), checked.unreadable);
    case Fault::None:
        break;
    }
    return {};
}

Checked wholeCheck(const QString& text, int lower, int upper) {
    if (text.isEmpty()) return {QString::number(lower)};
    const auto v = readNumber(text);
    if (!v) return {text, Fault::NotFloat, text};
    if (*v > upper) return {QString::number(upper)};
    if (*v < lower) return {QString::number(lower)};
    return {text};
}

Checked decimalCheck(const QString& text, const QString& lowerText, const QString& upperText) {
    if (text.isEmpty()) return {lowerText};
    if (text.count(QLatin1Char(',')) > 1) return {lowerText};
    const auto v = readNumber(text);
    if (!v) return {text, Fault::NotFloat, text};
    const double lower = readNumber(lowerText).value_or(0.0);
    const double upper = readNumber(upperText).value_or(0.0);
    if (*v > upper) return {upperText};
    if (*v <= lower) return {lowerText};
    QString t = QString::number(*v, 'f', 2);
    t.replace(QLatin1Char('.'), QLatin1Char(','));
    return {t};
}

QString pairPartner(Pair rule) {
    switch (rule) {
    case Pair::S:
        return ctl::name(Id::Edit8_1);
    case Pair::M:
        return ctl::name(Id::Edit3);
    case Pair::A:
        return ctl::name(Id::Edit11_2);
    case Pair::B:
        return ctl::name(Id::Edit11_1);
    case Pair::L:
        return ctl::name(Id::Edit13_2);
    case Pair::H:
        return ctl::name(Id::Edit13_1);
    case Pair::None:
        break;
    }
    return {};
}

Checked applyPair(Pair rule, const QString& own, const QString& partner) {
    if (rule == Pair::None) return {own};
    const auto ownValue = readWhole(own);
    if (!ownValue) return {own, Fault::NotInteger, own};
    const auto partnerValue = readWhole(partner);
    if (!partnerValue) return {own, Fault::NotInteger, partner};
    // Partners at the int limits must not overflow the +-100 of S and M.
    const qint64 a = *ownValue;
    const qint64 b = *partnerValue;
    switch (rule) {
    case Pair::S:
        if (a >= b) return {QString::number(b - 100)};
        break;
    case Pair::M:
        if (a <= b) return {QString::number(b + 100)};
        break;
    case Pair::A:
    case Pair::L:
        if (a > b) return {partner};
        break;
    case Pair::B:
    case Pair::H:
        if (a < b) return {partner};
        break;
    case Pair::None:
        break;
    }
    return {own};
}

namespace {
// The pair rules each field applies on leaving and on Enter.
struct PairRow {
    ParamId id;
    Pair onLeave;
    Pair onEnter;
};
constexpr PairRow kPairs[] = {
    {ParamId::LambdaLowTime, Pair::None, Pair::L}, {ParamId::LambdaHighTime, Pair::None, Pair::H},
    {ParamId::SwitchRpm, Pair::S, Pair::S},        {ParamId::MaxGasRpm, Pair::M, Pair::None},
    {ParamId::StepMin, Pair::A, Pair::A},          {ParamId::StepMax, Pair::B, Pair::B},
};
} // namespace

const std::vector<FieldRule>& fieldRules() {
    static const std::vector<FieldRule> rules = [] {
        std::vector<FieldRule> out;
        for (ParamId id : pageTabOrder()) {
            const ParamDef& d = paramDef(id);
            if (d.kind != ParamDef::Number && d.kind != ParamDef::Volts) continue;
            FieldRule r;
            r.control = d.control;
            r.id = id;
            r.kind = d.kind == ParamDef::Volts ? Kind::Decimal : Kind::Whole;
            r.maxLength = d.maxLength;
            if (r.kind == Kind::Whole) {
                r.lower = d.min;
                r.upper = d.max;
            }
            r.lowerText = d.lowerText();
            r.upperText = d.upperText();
            for (const PairRow& p : kPairs)
                if (p.id == id) {
                    r.onLeave = p.onLeave;
                    r.onEnter = p.onEnter;
                }
            out.push_back(r);
        }
        return out;
    }();
    return rules;
}

const FieldRule* fieldRule(const QString& control) {
    for (const FieldRule& r : fieldRules())
        if (r.control == control) return &r;
    return nullptr;
}

Checked rangeCheck(const FieldRule& rule, const QString& text) {
    return rule.kind == Kind::Decimal ? decimalCheck(text, rule.lowerText, rule.upperText)
                                      : wholeCheck(text, rule.lower, rule.upper);
}

Checked checkField(const FieldRule& rule, const QString& text, bool enter,
                   const std::function<QString(const QString&)>& textOf) {
    const Checked own = rangeCheck(rule, text);
    if (!own.ok()) return own;
    const Pair pair = enter ? rule.onEnter : rule.onLeave;
    if (pair == Pair::None) return own;
    const Checked paired = applyPair(pair, own.text, textOf ? textOf(pairPartner(pair)) : QString());
    if (!paired.ok()) return {own.text, paired.fault, paired.unreadable};
    return paired;
}

LeaveResult leaveChecks(const QString& lowerLimit, const QString& upperLimit, const QString& startPosition,
                        const QString& startDelay, const QString& lambdaThreshold, const QString& opening) {
    // A field that holds no number (nothing read from a controller yet) takes
    // no part: the write skips such texts, and refusing would keep the fitter
    // on the page with no way to fill them from a controller. Only comparisons
    // are made, so numbers at the int limits are safe.
    const auto lower = readWhole(lowerLimit);
    const auto upper = readWhole(upperLimit);
    const auto start = readWhole(startPosition);
    const auto delay = readWhole(startDelay);
    const auto lambda = readNumber(lambdaThreshold);
    const auto open = readWhole(opening);

    LeaveResult r;
    auto refuse = [&r](int key, const QString& suffix = QString()) {
        r.messages.push_back({key, suffix});
        r.allowed = false;
        return r;
    };
    bool startAtLimit = false;
    if (start && ((lower && *start == *lower) || (upper && *start == *upper))) {
        r.messages.push_back({30014, QString()});
        startAtLimit = true;
    }
    if (delay && *delay <= 0) return refuse(30009);
    if (lambda && *lambda < 0.1) return refuse(30010);
    if (open && *open < 3) return refuse(30011);
    // The stepper starts where the controller may drive it: within its limits.
    if (!startAtLimit && lower && upper && start && (*start < *lower || *start > *upper))
        return refuse(30013, QStringLiteral(" [") + QString::number(*lower) + QStringLiteral(" ... ") +
                                 QString::number(*upper) + QStringLiteral("]"));
    return r;
}

} // namespace validation
