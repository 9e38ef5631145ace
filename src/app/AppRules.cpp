#include "app/AppRules.h"

#include "text/FileSystem.h"

namespace {

bool IsBlankOrControl(QChar ch) {
    return ch.unicode() <= 32;
}

}  // namespace

QString FirstCommandLineWord(const QString& text) {
    const qsizetype n = text.size();
    qsizetype i = 0;
    for (;;) {
        while (i < n && text[i].unicode() != 0 && IsBlankOrControl(text[i])) ++i;
        if (i + 1 < n && text[i] == u'"' && text[i + 1] == u'"') {
            i += 2;
        } else {
            break;
        }
    }
    QString word;
    while (i < n && !IsBlankOrControl(text[i])) {
        if (text[i] == u'"') {
            ++i;
            while (i < n && text[i].unicode() != 0 && text[i] != u'"') word += text[i++];
            if (i < n && text[i] == u'"') ++i;
        } else {
            word += text[i++];
        }
    }
    return word;
}

QString FileNameValue(const QString& text) {
    if (!text.isEmpty() && FileExists(text.toStdString())) return text;
    return FirstCommandLineWord(text);
}

QString ApplicationTitle(const QString& programPath) {
    QString name = programPath.mid(programPath.lastIndexOf(u'/') + 1);
    const qsizetype dot = name.indexOf(u'.');
    if (dot >= 0) name.truncate(dot);
    if (name.isEmpty()) return name;
    return name.left(1) + name.mid(1).toLower();
}

QString ProgramFolder(const QString& programPath) {
    const qsizetype slash = programPath.lastIndexOf(u'/');
    if (slash < 0) return QString();
    if (slash == 0) return QStringLiteral("/");
    return programPath.left(slash);
}

bool IsValidFileName(const QString& name) {
    for (QChar ch : name) {
        switch (ch.unicode()) {
            case u'<':
            case u'>':
            case u'[':
            case u']':
            case u'|':
            case u'"':
                return false;
            default:
                break;
        }
    }
    return true;
}

QString QuoteChosenPath(const QString& path) {
    if (path.contains(u' ') && !path.startsWith(u'"')) return u'"' + path + u'"';
    return path;
}
