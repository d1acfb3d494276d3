#include "shell/SettingsStore.h"

#include "core/LanguageKeys.h"
#include "shell/SettingsFile.h"
#include "shell/SkinKeys.h"

#include <QMetaType>
#include <QRegularExpression>

namespace shell {

const QString SettingsStore::Lang = QStringLiteral("Lang");
const QString SettingsStore::LangNazw = QStringLiteral("LangNazw");
const QString SettingsStore::Port = QStringLiteral("Port");
const QString SettingsStore::PortDevice = QStringLiteral("PortDevice");
const QString SettingsStore::FastLog = QStringLiteral("FastLog");
const QString SettingsStore::WielkCzcionki = QStringLiteral("WielkCzcionki");
const QString SettingsStore::Skin = QStringLiteral("skin");
const QString SettingsStore::Comments = QStringLiteral("comments");
const QString SettingsStore::Dimension = QStringLiteral("dimension");

namespace {

enum class Got { Missing, Bad, Ok };

// The registry keeps types; an INI file keeps only text, so there a number
// may come as its decimal text.
bool typedStore(const QSettings& s) {
#ifdef Q_OS_WIN
    return s.format() == QSettings::NativeFormat;
#else
    Q_UNUSED(s);
    return false;
#endif
}

bool isIntegral(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return true;
    default:
        return false;
    }
}

Got readString(const QSettings& s, const QString& name, QString* out) {
    if (!s.contains(name)) return Got::Missing;
    const QVariant v = s.value(name);
    if (v.typeId() != QMetaType::QString) return Got::Bad;
    *out = v.toString();
    return Got::Ok;
}

Got readInt(const QSettings& s, const QString& name, qint64* out) {
    if (!s.contains(name)) return Got::Missing;
    const QVariant v = s.value(name);
    if (isIntegral(v)) {
        *out = v.toLongLong();
        return Got::Ok;
    }
    if (!typedStore(s) && v.typeId() == QMetaType::QString) {
        static const QRegularExpression number(QStringLiteral("^-?[0-9]{1,10}$"));
        const QString t = v.toString().trimmed();
        if (number.match(t).hasMatch()) {
            *out = t.toLongLong();
            return Got::Ok;
        }
    }
    return Got::Bad;
}

Got readBool(const QSettings& s, const QString& name, bool* out) {
    qint64 n = 0;
    const Got g = readInt(s, name, &n);
    if (g == Got::Ok) {
        *out = n != 0;
        return Got::Ok;
    }
    if (g == Got::Missing) return g;
    const QVariant v = s.value(name);
    if (v.typeId() == QMetaType::Bool) {
        *out = v.toBool();
        return Got::Ok;
    }
    if (!typedStore(s) && v.typeId() == QMetaType::QString) {
        const QString t = v.toString().trimmed().toLower();
        if (t == QLatin1String("true") || t == QLatin1String("false")) {
            *out = t == QLatin1String("true");
            return Got::Ok;
        }
    }
    return Got::Bad;
}

// "COM1" ... "COM8" exactly; 0 otherwise.
int comFromSetting(const QString& text) {
    static const QRegularExpression com(QStringLiteral("^COM([1-8])$"));
    const QRegularExpressionMatch m = com.match(text);
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

} // namespace

SettingsStore::SettingsStore(Opener open, QString file) : open_(std::move(open)), file_(std::move(file)) {}
SettingsStore::SettingsStore() : open_([] { return openSettings(); }), file_(settingsFile()) {}

QString SettingsStore::checkWritten(QSettings& s) {
    s.sync();
    // A format error is a fault of reading, not of writing.
    if (s.status() != QSettings::AccessError || reported_) return {};
    reported_ = true;
    return s.fileName();
}

std::unique_ptr<QSettings> SettingsStore::openCleaned(QString* unwritable, QString* unreadable) {
    const SettingsCleanup c = file_.isEmpty() ? SettingsCleanup() : cleanSettingsFile(file_);
    if (c.dropped) *unreadable = file_;
    if (!c.rewritten) {
        if (!reported_) *unwritable = file_;
        reported_ = true;
        return nullptr;
    }
    return open_();
}

StartPlan SettingsStore::load() {
    StartPlan plan;
    ShellSettings& st = plan.settings;
    std::unique_ptr<QSettings> s = openCleaned(&plan.unwritable, &plan.unreadable);
    if (!s) { // the design defaults
        plan.skinCode = st.skin;
        plan.languageFileToLoad = st.languageFile;
        return plan;
    }
    bool wrote = false;

    const QStringList values = {Lang, LangNazw, Port, WielkCzcionki, Skin, Comments, Dimension};
    plan.firstRun =
        std::none_of(values.begin(), values.end(), [&](const QString& v) { return s->contains(v); });
    if (plan.firstRun) {
        s->setValue(Lang, QStringLiteral("PL"));
        s->setValue(LangNazw, QStringLiteral("polish.lng"));
        s->setValue(Port, QStringLiteral("COM1"));
        s->setValue(WielkCzcionki, 1);
        s->setValue(Skin, QStringLiteral("ord"));
        s->setValue(Comments, 0);
        s->setValue(Dimension, 0);
        plan.unwritable = checkWritten(*s);
        plan.paramPage800 = true;
        plan.skinCode = QStringLiteral("ord");
        plan.languageFileToLoad = QStringLiteral("polish.lng");
        return plan;
    }

    // "Lang": missing reads as empty and loads no file; a value outside the
    // list keeps the design default.
    QString text;
    switch (readString(*s, Lang, &text)) {
    case Got::Missing:
        st.languageCode.clear();
        break;
    case Got::Ok:
        if (lang::choiceByCode(text)) st.languageCode = text;
        break;
    case Got::Bad:
        break;
    }

    bool commentsOff = false;
    switch (readBool(*s, Comments, &commentsOff)) {
    case Got::Ok:
        st.commentsOff = commentsOff;
        break;
    case Got::Missing:
        s->setValue(Comments, 0);
        wrote = true;
        break;
    case Got::Bad:
        break;
    }

    switch (readString(*s, LangNazw, &text)) {
    case Got::Ok:
        if (lang::choiceByFile(text)) st.languageFile = text;
        break;
    case Got::Missing: {
        QString code;
        if (readString(*s, Lang, &code) == Got::Ok)
            if (const lang::LanguageChoice* c = lang::choiceByCode(code)) {
                st.languageFile = QString::fromLatin1(c->file);
                s->setValue(LangNazw, st.languageFile);
                wrote = true;
            }
        break;
    }
    case Got::Bad:
        break;
    }

    if (readString(*s, Port, &text) == Got::Ok)
        if (const int n = comFromSetting(text)) st.comPort = n;
    if (readString(*s, PortDevice, &text) == Got::Ok) st.portDevice = text.trimmed();
    bool fastLog = false;
    if (readBool(*s, FastLog, &fastLog) == Got::Ok) st.fastLog = fastLog;

    qint64 dimension = 0;
    switch (readInt(*s, Dimension, &dimension)) {
    case Got::Ok:
        if (dimension == 0) {
            st.rememberLayout = false;
        } else if (dimension >= 1 && dimension <= 6) {
            plan.rememberedLayout = int(dimension);
            st.rememberLayout = true;
        }
        break;
    case Got::Missing:
        s->setValue(Dimension, 0);
        wrote = true;
        break;
    case Got::Bad:
        break;
    }

    switch (readString(*s, Skin, &text)) {
    case Got::Ok:
        if (skin::choiceByCode(text)) {
            st.skin = text;
            plan.skinCode = text;
        }
        break;
    case Got::Missing:
        s->setValue(Skin, QStringLiteral("ord"));
        wrote = true;
        plan.skinCode = QStringLiteral("ord");
        break;
    case Got::Bad:
        break;
    }

    if (const lang::LanguageChoice* c = lang::choiceByCode(st.languageCode))
        plan.languageFileToLoad = QString::fromLatin1(c->file);
    if (wrote) plan.unwritable = checkWritten(*s);
    return plan;
}

QString SettingsStore::save(const ShellSettings& st) {
    QString unwritable, unreadable; // lines dropped since the start go unsaid: the file is fine again
    std::unique_ptr<QSettings> s = openCleaned(&unwritable, &unreadable);
    if (!s) return unwritable;
    const lang::LanguageChoice* lang = lang::choiceByFile(st.languageFile);
    if (!lang) lang = &lang::languageChoices().front();
    s->setValue(Lang, QString::fromLatin1(lang->code));
    s->setValue(LangNazw, QString::fromLatin1(lang->file));
    s->setValue(Port, QStringLiteral("COM%1").arg(st.comPort >= 1 && st.comPort <= 8 ? st.comPort : 1));
    if (st.portDevice.isEmpty())
        s->remove(PortDevice);
    else
        s->setValue(PortDevice, st.portDevice);
    if (st.layoutItem >= 1 && st.layoutItem <= 3) s->setValue(WielkCzcionki, st.layoutItem - 1);
    const skin::SkinChoice* sk = skin::choiceByCode(st.skin);
    s->setValue(Skin, QString::fromLatin1(sk ? sk->code : "ord"));
    s->setValue(Comments, st.commentsOff ? 1 : 0);
    if (st.fastLog)
        s->setValue(FastLog, 1);
    else
        s->remove(FastLog);
    const bool layoutKnown = st.layoutItem >= 1 && st.layoutItem <= 6;
    s->setValue(Dimension, st.rememberLayout && layoutKnown ? st.layoutItem : 0);
    return checkWritten(*s);
}

} // namespace shell
