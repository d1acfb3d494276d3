#include "core/TextKeys.h"

#include "core/ShellModel.h"

QString shortened(const QString& text, int maxChars) {
    if (text.size() <= maxChars) return text;
    const QString gap = QStringLiteral(" … ");
    const qsizetype keep = qMax<qsizetype>(2, maxChars - gap.size());
    return text.left(keep - keep / 3) + gap + text.right(keep / 3);
}

QStringList fileBoxLabels(const ShellModel& shell, bool save) {
    using namespace textkey;
    return {shell.text(FileBoxLookIn), shell.text(FileBoxFileName), shell.text(FileBoxFileType),
            shell.text(save ? FileBoxSave : FileBoxOpen), shell.text(FileBoxCancel)};
}
