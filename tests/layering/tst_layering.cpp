// The dependencies of our code run one way: a folder includes only itself and the folders below
// it. The includes are the dependencies, so reading them is the whole check.
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

// The folders of one part of the tree, bottom first, and the folders of another part that lie
// below all of them. The headless folders build without Qt Widgets: neither they nor a header of
// this part that they include may include one of its headers.
struct Layers {
    QString root;
    QStringList order;
    QStringList beneath;
    QStringList headless = {};
};

const QStringList ComponentLayers{u"host"_s,    u"records"_s, u"contracts"_s,
                                  u"forms"_s,   u"widgets"_s, u"allocation"_s,
                                  u"editors"_s, u"wizard"_s,  u"entry"_s};
// Built with Qt Core only (src/CMakeLists.txt): the compiler refuses a widget there as well.
const QStringList ComponentHeadless{u"host"_s, u"records"_s, u"contracts"_s, u"allocation"_s};
const QStringList HostSystemLayers{u"accountset"_s, u"desktop"_s,   u"services"_s,
                                   u"dialogs"_s,    u"worksheet"_s, u"app"_s};
const QStringList HostSystemHeadless{u"accountset"_s, u"services"_s, u"worksheet"_s};

struct Scan {
    int files = 0;
    int includes = 0;
    QStringList faults;
};

struct Include {
    int line = 0;
    QString target;
    bool angled = false;
};

std::optional<QList<Include>> includesOf(const QString &filePath)
{
    static const QRegularExpression include(u"^\\s*#\\s*include\\s*([<\"])([^>\"]+)[>\"]"_s);
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    QList<Include> includes;
    for (int line = 1; !file.atEnd(); ++line) {
        const QRegularExpressionMatch match = include.match(QString::fromUtf8(file.readLine()));
        if (match.hasMatch())
            includes.append({line, match.captured(2), match.captured(1) == u"<"_s});
    }
    return includes;
}

// Follows path and the headers of the same part it includes, and reports every include of a Qt
// Widgets header on the way, each once.
void findWidgetsIncludes(const QDir &root, const QDir &widgets, const QString &path,
                         QSet<QString> &visited, QStringList &faults)
{
    if (visited.contains(path))
        return;
    visited.insert(path);
    const std::optional<QList<Include>> includes = includesOf(root.filePath(path));
    for (const Include &include : includes.value_or(QList<Include>())) {
        if (!include.angled && root.exists(include.target))
            findWidgetsIncludes(root, widgets, include.target, visited, faults);
        else if (include.angled &&
                 (widgets.exists(include.target) || include.target.startsWith(u"QtWidgets/"_s)))
            faults.append(u"%1:%2 includes Qt Widgets' <%3>"_s.arg(path)
                              .arg(include.line)
                              .arg(include.target));
    }
}

Scan scan(const QString &sourceDir, const Layers &layers,
          const QDir &widgets = QDir(QStringLiteral(ALLOCFIX_QT_WIDGETS_DIR)))
{
    Scan result;
    QSet<QString> visited;
    const QDir root(sourceDir + u'/' + layers.root);
    QDirIterator files(root.path(), {u"*.h"_s, u"*.cpp"_s}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = root.relativeFilePath(files.next());
        const qsizetype fromRank = layers.order.indexOf(path.section(u'/', 0, 0));
        ++result.files;
        if (fromRank < 0 || !path.contains(u'/')) {
            result.faults.append(path + u": its folder is not a layer"_s);
            continue;
        }
        const std::optional<QList<Include>> includes = includesOf(files.filePath());
        if (!includes) {
            result.faults.append(path + u": unreadable"_s);
            continue;
        }
        for (const Include &include : *includes) {
            // A name without a folder is a file beside this one (a moc file).
            if (include.angled || !include.target.contains(u'/'))
                continue;
            ++result.includes;
            const QString to = include.target.section(u'/', 0, 0);
            const qsizetype toRank = layers.order.indexOf(to);
            if (toRank >= 0 ? toRank > fromRank : !layers.beneath.contains(to))
                result.faults.append(
                    u"%1:%2 includes %3"_s.arg(path).arg(include.line).arg(include.target));
        }
        if (layers.headless.contains(path.section(u'/', 0, 0)))
            findWidgetsIncludes(root, widgets, path, visited, result.faults);
    }
    result.faults.sort();
    return result;
}

void writeFile(const QString &path, const QByteArray &text)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

} // namespace

Q_DECLARE_METATYPE(Layers)

class tst_Layering : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void includesPointDown_data();
    void includesPointDown();
    void anUpwardIncludeIsFound();
    void aWidgetsIncludeOfAHeadlessFolderIsFound();
};

void tst_Layering::includesPointDown_data()
{
    QTest::addColumn<Layers>("layers");
    QTest::newRow("src") << Layers{u"src"_s, ComponentLayers, {}, ComponentHeadless};
    // The host system stands on the whole component.
    QTest::newRow("fixedassets") << Layers{u"fixedassets"_s, HostSystemLayers, ComponentLayers,
                                           HostSystemHeadless};
}

void tst_Layering::includesPointDown()
{
    QFETCH(Layers, layers);
    QVERIFY2(QFileInfo::exists(QStringLiteral(ALLOCFIX_QT_WIDGETS_DIR "/QDialog")),
             "Qt Widgets' headers not found");
    const Scan result = scan(QStringLiteral(ALLOCFIX_SOURCE_DIR), layers);
    QVERIFY2(result.files > 0 && result.includes > 0, "no source read");
    QVERIFY2(result.faults.isEmpty(), qPrintable(result.faults.join(u'\n')));
}

void tst_Layering::anUpwardIncludeIsFound()
{
    QTemporaryDir tree;
    QVERIFY(tree.isValid());
    writeFile(tree.filePath(u"src/host/Low.h"_s),
              "#pragma once\n#include \"host/Other.h\"\n#include \"wizard/High.h\"\n");
    writeFile(tree.filePath(u"src/wizard/High.cpp"_s),
              "#include \"host/Low.h\"\n#include \"High.moc\"\n");
    writeFile(tree.filePath(u"src/stray/Loose.h"_s), "#pragma once\n");

    const Scan result = scan(tree.path(), {u"src"_s, ComponentLayers, {}});
    QCOMPARE(result.faults, (QStringList{u"host/Low.h:3 includes wizard/High.h"_s,
                                         u"stray/Loose.h: its folder is not a layer"_s}));
}

void tst_Layering::aWidgetsIncludeOfAHeadlessFolderIsFound()
{
    QTemporaryDir tree;
    QVERIFY(tree.isValid());
    writeFile(tree.filePath(u"src/records/Service.cpp"_s),
              "#include <QObject>\n#include <QDialog>\n#include \"host/Row.h\"\n");
    // Reached from the headless folder through a header of another.
    writeFile(tree.filePath(u"src/host/Row.h"_s), "#pragma once\n#include <QtWidgets/QLabel>\n");
    // Reached from nowhere headless.
    writeFile(tree.filePath(u"src/host/Form.cpp"_s), "#include <QWidget>\n");

    const Scan result = scan(tree.path(), {u"src"_s, ComponentLayers, {}, {u"records"_s}});
    QCOMPARE(result.faults,
             (QStringList{u"host/Row.h:2 includes Qt Widgets' <QtWidgets/QLabel>"_s,
                          u"records/Service.cpp:2 includes Qt Widgets' <QDialog>"_s}));
}

QTEST_GUILESS_MAIN(tst_Layering)
#include "tst_layering.moc"
