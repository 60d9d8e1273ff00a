// The dependencies of our code run one way: a folder includes only itself and the folders below
// it. The includes are the dependencies, so reading them is the whole check.
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// The folders of one part of the tree, bottom first, and the folders of another part that lie
// below all of them.
struct Layers {
    QString root;
    QStringList order;
    QStringList beneath;
};

const QStringList ComponentLayers{u"host"_s,       u"records"_s, u"contracts"_s, u"widgets"_s,
                                  u"allocation"_s, u"editors"_s, u"wizard"_s,    u"entry"_s};
const QStringList HostSystemLayers{u"accountset"_s, u"desktop"_s, u"services"_s, u"app"_s};

struct Scan {
    int files = 0;
    int includes = 0;
    QStringList faults;
};

Scan scan(const QString &sourceDir, const Layers &layers)
{
    static const QRegularExpression include(u"^\\s*#\\s*include\\s*\"([^\"]+)\""_s);
    Scan result;
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
        QFile file(files.filePath());
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            result.faults.append(path + u": unreadable"_s);
            continue;
        }
        for (int line = 1; !file.atEnd(); ++line) {
            const QRegularExpressionMatch match = include.match(QString::fromUtf8(file.readLine()));
            // A name without a folder is a file beside this one (a moc file).
            if (!match.hasMatch() || !match.captured(1).contains(u'/'))
                continue;
            ++result.includes;
            const QString target = match.captured(1);
            const QString to = target.section(u'/', 0, 0);
            const qsizetype toRank = layers.order.indexOf(to);
            if (toRank >= 0 ? toRank > fromRank : !layers.beneath.contains(to))
                result.faults.append(u"%1:%2 includes %3"_s.arg(path).arg(line).arg(target));
        }
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
};

void tst_Layering::includesPointDown_data()
{
    QTest::addColumn<Layers>("layers");
    QTest::newRow("src") << Layers{u"src"_s, ComponentLayers, {}};
    // The host system stands on the whole component.
    QTest::newRow("fixedassets") << Layers{u"fixedassets"_s, HostSystemLayers, ComponentLayers};
}

void tst_Layering::includesPointDown()
{
    QFETCH(Layers, layers);
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

QTEST_GUILESS_MAIN(tst_Layering)
#include "tst_layering.moc"
