#include "accountset/DemoData.h"
#include "contracts/CardServices.h"
#include "contracts/ErrorReporter.h"
#include "desktop/ResourceLoader.h"
#include "desktop/SharedProperties.h"
#include "dialogs/DialogRegistration.h"
#include "editors/frmExpenseEdit.h"
#include "entry/ComponentUnload.h"
#include "entry/ShowUpdate.h"
#include "host/ByName.h"
#include "host/MMTS.h"
#include "host/ObjectRegistry.h"
#include "host/ProgIds.h"
#include "host/SpaceTrim.h"
#include "host/sysObjecs.h"
#include "services/HostServices.h"
#include "support/AllocationRecords.h"
#include "support/FakeAccountLookups.h"
#include "support/FakeCardServices.h"
#include "support/FakeItemService.h"
#include "support/MessageRecorder.h"
#include "support/ModalDriver.h"
#include "support/ScopedRegistration.h"
#include "support/WizardDriver.h"
#include "widgets/CodeField.h"
#include "widgets/ItemGrid.h"
#include "wizard/frmUpdateData.h"

#include <QDirIterator>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <functional>

using namespace Qt::StringLiterals;
using namespace AllocFix;
using namespace FixedAssets;
using namespace AllocFix::Testing;

namespace {

// The real loader, noting every key that reaches it and every one its catalogs lack.
class RecordingLoader final : public QObject, public IResourceLoader {
    Q_OBJECT
    Q_INTERFACES(AllocFix::IResourceLoader)
public:
    explicit RecordingLoader(QSet<QString> &seen, QSet<QString> &missing)
        : m_seen(seen)
        , m_missing(missing)
    {}
    void setResFileBaseName(const QString &baseName) override
    {
        m_loader.setResFileBaseName(baseName);
    }
    void setLanguageID(const QString &languageId) override { m_loader.setLanguageID(languageId); }
    QString LoadString(QString &key) override { return look(key, ResourceLoader::Lookup::Text); }
    QString LoadString2(QString &key) override
    {
        return look(key, ResourceLoader::Lookup::ColumnHeader);
    }

private:
    QString look(const QString &key, ResourceLoader::Lookup lookup)
    {
        const QString entry =
            (lookup == ResourceLoader::Lookup::Text ? u"ulm: "_s : u"ulm.header: "_s) + key;
        m_seen.insert(entry);
        const std::optional<QString> text = m_loader.find(key, lookup);
        if (!text)
            m_missing.insert(entry);
        return text.value_or(key);
    }

    ResourceLoader m_loader;
    QSet<QString> &m_seen;
    QSet<QString> &m_missing;
};

QPushButton *button(QWidget *form, const QString &name)
{
    return form->findChild<QPushButton *>(name);
}

void closeWith(QWidget *dialog, const QString &buttonName)
{
    if (QPushButton *close = button(dialog, buttonName))
        QTest::mouseClick(close, Qt::LeftButton);
    if (dialog->isVisible())
        dialog->close();
}

// The flows: each drives some of the component's or the host's forms the way a user would, so
// that every text they show passes through the loader. Add a flow here as a form is built.
void wizardFrame()
{
    whenModalShown([](QWidget *wizard) {
        QTest::mouseClick(button(wizard, u"btNext"_s), Qt::LeftButton);
        QTest::mouseClick(button(wizard, u"btPrev"_s), Qt::LeftButton);
        QTest::mouseClick(button(wizard, u"btNext"_s), Qt::LeftButton);
        wizard->close();
    });
    ShowUpdate().ShowExportFrm();
}

// The wizard's pages on scripted card services, so that every path shows its texts: a failed
// check, unreadable rows, the manual page with both navigation limits, every fault line, and a
// save.
void wizardPages()
{
    FakeItemService itemService;
    itemService.addDepartment(1, u"Office"_s);
    FakeCardServices services;
    for (qint32 id : {101, 102}) {
        FakeCardServices::Card &card = services.addCard(id);
        card.departments = recordList(
            {departmentRecord(1, u"Office"_s, 0.5), departmentRecord(2, u"Workshop"_s, 0.5)});
        // Repeated, left without a department, out of range, without an account.
        card.expenses =
            recordList({expenseRow(1, 10, 0.5), expenseRow(1, 10, 0.5), expenseRow(0, 12, 0.2),
                        expenseRow(1, 13, 1.5), expenseRow(1, 0, 0.5)});
    }
    services.manualCards = {101, 102};
    services.failing = QStringList{u"CheckDataForUpDate"_s};
    const MessageRecorder messages;

    runWizard([](frmUpdateData &wizard) {
        click(&wizard, u"btNext"_s);
        click(&wizard, u"btCheckCard"_s);
    });
    // Rows that could not be read cannot be changed.
    services.failing = QStringList{u"GetExpense"_s};
    runWizard([](frmUpdateData &wizard) {
        startAdjustment(wizard);
        click(&wizard, u"cmdAdd"_s);
    });
    // A single card cannot be moved to again: the refusal offers to read it again.
    services.manualCards = {101};
    runWizard([](frmUpdateData &wizard) {
        startAdjustment(wizard);
        click(&wizard, u"cmdAdd"_s);
    });
    services.manualCards = {101, 102};
    services.failing.clear();
    runWizard([](frmUpdateData &wizard) {
        startAdjustment(wizard);
        click(&wizard, u"cmdPrevious"_s);
        click(&wizard, u"cmdLast"_s);
        click(&wizard, u"cmdLast"_s);
        // A third card that was never shown adds the re-allocation fault to the others.
        wizard.vecFalterID().append(wizard.vecFalterID().at(1));
        wizard.dirtVect().setValue(u"3"_s, u"0"_s);
        whenCheckResultShown([](QWidget *dialog) { click(dialog, u"cmdSure"_s); });
        click(&wizard, u"cmdFinish"_s);
    });
    for (qint32 id : {101, 102}) {
        services.cards[id].expenses = recordList({expenseRow(1, 10, 1)});
        services.cards[id].departments = recordList({departmentRecord(1, u"Office"_s, 1)});
    }
    // A save the service says it did not make, then one it made.
    services.saveAnswer = false;
    for (int run = 0; run < 2; ++run) {
        runWizard([](frmUpdateData &wizard) {
            startAdjustment(wizard);
            click(&wizard, u"cmdNext"_s);
            click(&wizard, u"cmdFinish"_s);
        });
        services.saveAnswer = true;
    }
    QCOMPARE(services.callsOf(u"SaveDoubleExpense"_s), 2);
}

void lookupDialogs()
{
    whenModalShown([](QWidget *dialog) { closeWith(dialog, u"cmdCancel"_s); });
    QVariantList account{0};
    ByName::callForObject(sysObjecs::GetGLView(), u"AccountLookup"_s, account);
    whenModalShown([](QWidget *dialog) { closeWith(dialog, u"cmdCancel"_s); });
    QVariantList item{2, 0};
    ByName::callForObject(sysObjecs::GetGLView(), u"ItemLookup"_s, item);
}

void cardViewer()
{
    qint32 cardId = 1001;
    const auto viewer = createService<ICardViewer>(ProgId::CardShow);
    viewer->setDataView(
        createService<ICardInfo>(ProgId::CardInfo)->GetDetail(MMTS::GetPropsString(), cardId));
    whenModalShown([](QWidget *dialog) { closeWith(dialog, u"cmdClose"_s); });
    viewer->ShowCard();
}

void helpAndErrors()
{
    whenModalShown([](QWidget *dialog) { closeWith(dialog, u"cmdClose"_s); });
    MMTS::HandleHelpKey(112, MMTS::HelpContextAdjustment, {}, 0, {}, 0);
    const MessageRecorder recorder;
    setCurrentError({ErrorNumber::ServiceBase + 1, u"failed"_s, u"test"_s, {}, 0});
    reportCurrentError();
}

// The expense editor in its three modes and its department dialog, with every message of the
// row check and of the account and item entry.
void expenseEditor()
{
    FakeItemService itemService;
    itemService.addDepartment(1, u"Office"_s);
    FakeAccountLookups lookups;
    lookups.addAccount({10, u"6602"_s, u"Costs"_s, true, {{2, u"Project"_s}}});
    lookups.addAccount({11, u"66"_s, u"All costs"_s, false, {}});
    lookups.itemLookupAnswer = {true, 9, u"Group"_s, {}, false};
    MessageRecorder messages;

    const auto edit = [](QWidget *editor) {
        const auto save = [editor] { button(editor, u"btSave"_s)->click(); };
        auto *account = editor->findChild<QLineEdit *>(u"txtExpenseAcct"_s);
        whenNextModalShown([](QWidget *dialog) { dialog->close(); });
        editor->findChild<QToolButton *>(u"btDept"_s)->click();
        editor->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(editor));
        for (const QString &code : {u"9999"_s, u"66"_s}) {
            account->setFocus();
            account->setText(code);
            QTest::keyClick(account, Qt::Key_Tab);
            QTest::qWait(10);
        }
        auto *grid = editor->findChild<ItemGrid *>(u"kgItem"_s);
        qint32 row = 2;
        Q_EMIT grid->CellNotify(ItemGrid::ChooseItemAction, row, ItemGrid::ItemColumn, 0);
        save();
        ShowCodeField({account, editor->findChild<QLabel *>(u"lblExpenseAcct"_s)}, 10, u"6602"_s,
                      u"Costs"_s);
        save();
        grid->setCellData(2, ItemGrid::ItemColumn, 5);
        editor->findChild<QDoubleSpinBox *>(u"fltRate"_s)->setValue(0);
        save();
    };
    for (qint32 mode :
         {frmExpenseEdit::ModeEdit, frmExpenseEdit::ModeView, frmExpenseEdit::ModeAdd}) {
        frmExpenseEdit editor;
        editor.setDepData(recordList({departmentRecord(1, u"Office"_s, 1)}));
        editor.setEditMode(mode);
        if (mode != frmExpenseEdit::ModeAdd)
            editor.setData(expenseRow(1, 10, 0.5, {itemRecord(u"Project"_s, u"..."_s, 0)}));
        whenModalShown([&](QWidget *shown) {
            if (mode == frmExpenseEdit::ModeEdit)
                edit(shown);
            if (mode == frmExpenseEdit::ModeAdd) {
                // Asked whether to save, then told what is missing.
                messages.answerNext(MessageAnswer::Yes);
                shown->close();
            }
            editor.setEditMode(frmExpenseEdit::ModeView);
            shown->close();
        });
        editor.showModal();
    }
    QCOMPARE(messages.texts().size(), 8);
}

// A string literal of the host's sources (u"..."_s, its pieces joined), and whether it is the
// key of a LoadLangString or LoadLangString2 call.
struct SourceText {
    QString where;
    QString text;
    QString precededBy; // the source before it, to the start of its statement's line
    bool key = false;
    bool header = false;
};

// The source with its comments blanked out, so that a quoted word in a comment is no text.
QString withoutComments(QString source)
{
    bool quoted = false;
    for (qsizetype i = 0; i < source.size(); ++i) {
        if (quoted && source[i] == u'\\') {
            ++i;
        } else if (source[i] == u'"' && !(i > 0 && source[i - 1] == u'\'')) {
            quoted = !quoted;
        } else if (!quoted && QStringView(source).mid(i).startsWith(u"//")) {
            for (; i < source.size() && source[i] != u'\n'; ++i)
                source[i] = u' ';
        }
    }
    return source;
}

// The texts of the component's and the host's sources: a failure of either reaches the user.
QList<SourceText> sourceTexts()
{
    static const QRegularExpression literal(
        uR"re(u"((?:[^"\\\n]|\\.)*)"((?:\s*"(?:[^"\\\n]|\\.)*")*)_s)re"_s);
    static const QRegularExpression piece(uR"re("((?:[^"\\\n]|\\.)*)")re"_s);
    static const QRegularExpression lookup(uR"(LoadLangString(2?)\(\s*$)"_s);
    static const QRegularExpression printed(
        uR"re(\b(?:puts|printf)\((?:\s*(?:stderr|stdout)\s*,)?\s*"((?:[^"\\\n]|\\.)*)")re"_s);
    QList<SourceText> texts;
    QStringList paths;
    for (const QString &root :
         {QStringLiteral(COMPONENT_SOURCE_DIR), QStringLiteral(FIXEDASSETS_SOURCE_DIR)}) {
        QDirIterator files(root, {u"*.cpp"_s, u"*.h"_s}, QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext())
            paths.append(files.next());
    }
    for (const QString &path : std::as_const(paths)) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QString source = withoutComments(QString::fromUtf8(file.readAll()));
        const auto add = [&](const QRegularExpressionMatch &match, QString text) {
            const QString before = source.left(match.capturedStart());
            text.replace(u"\\\""_s, u"\""_s).replace(u"\\\\"_s, u"\\"_s);
            const QRegularExpressionMatch call = lookup.match(before.right(40));
            texts.append({u"%1:%2"_s.arg(file.fileName()).arg(before.count(u'\n') + 1), text,
                          before.right(60), call.hasMatch(),
                          call.hasMatch() && !call.captured(1).isEmpty()});
        };
        for (const QRegularExpressionMatch &match : literal.globalMatch(source)) {
            QString text = match.captured(1);
            for (const QRegularExpressionMatch &more : piece.globalMatch(match.captured(2)))
                text += more.captured(1);
            add(match, text);
        }
        for (const QRegularExpressionMatch &match : printed.globalMatch(source))
            add(match, match.captured(1));
    }
    return texts;
}

// An English sentence: two words, and no SQL (whose keywords are written in capitals).
bool readsAsEnglish(const SourceText &source)
{
    static const QRegularExpression words(uR"([A-Za-z]{2,} [a-z]{2,})"_s);
    static const QRegularExpression sql(
        uR"(\b(SELECT|INSERT|UPDATE|DELETE|CREATE|DROP|PRAGMA|FROM|JOIN|WHERE|ORDER|ANALYZE|LOCK|BEGIN|SET|SHOW|GRANT|ALTER)\b)"_s);
    static const QRegularExpression han(uR"(\p{Han})"_s);
    return words.match(source.text).hasMatch() && !sql.match(source.text).hasMatch() &&
           !han.match(source.text).hasMatch();
}

// Texts no user reads as the program's message: the help of the options (in --help, made from
// its own source), the rules the account set's triggers keep, whose texts are the database's
// own, as any database error's, a database's text compared, and a connection's name.
bool isExempt(const SourceText &source)
{
    static const QRegularExpression notShown(uR"((startsWith\(|Connection = )\s*$)"_s);
    if (notShown.match(source.precededBy).hasMatch())
        return true;
    // Command lines, as the manual page shows them: the program's syntax, in no language; and
    // markup around a text.
    if (source.text.startsWith(u"allocfix "_s) || source.text.startsWith(u'<'))
        return true;
    if (source.where.contains(u"/app/ProgramOptions.cpp:"_s))
        return !source.precededBy.contains(u"raiseUsage("_s);
    return source.where.contains(u"/accountset/Schema.cpp:"_s) &&
           source.text.startsWith(u"an expense row's"_s);
}

using Flow = std::function<void()>;

const QList<std::pair<const char *, Flow>> &flows()
{
    static const QList<std::pair<const char *, Flow>> all{
        {"wizard frame", wizardFrame},     {"wizard pages", wizardPages},
        {"expense editor", expenseEditor}, {"lookup dialogs", lookupDialogs},
        {"card viewer", cardViewer},       {"help and error reports", helpAndErrors},
    };
    return all;
}

} // namespace

class tst_TranslationCoverage : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanup();

    void everyTextHasAnEnglishEntry_data();
    void everyTextHasAnEnglishEntry();
    void everyKeyOfTheHostHasAnEnglishEntry();
    void noEnglishSentenceBypassesTheCatalogs();

private:
    QTemporaryDir m_folder;
    QString m_location;
};

void tst_TranslationCoverage::initTestCase()
{
    QVERIFY(m_folder.isValid());
    m_location = createDemoAccountSet(u"sqlite:"_s + m_folder.filePath(u"set.fa"_s), 5);
}

void tst_TranslationCoverage::cleanup()
{
    unloadComponent();
    clearSharedProperties();
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_TranslationCoverage::everyTextHasAnEnglishEntry_data()
{
    QTest::addColumn<int>("flow");
    for (qsizetype index = 0; index < flows().size(); ++index)
        QTest::newRow(flows()[index].first) << static_cast<int>(index);
}

void tst_TranslationCoverage::everyTextHasAnEnglishEntry()
{
    QFETCH(int, flow);
    registerHostServices();
    registerHostDialogs();
    QSet<QString> seen;
    QSet<QString> missing;
    const ScopedRegistration recording(
        ProgId::ResourceLoader, [&] { return std::make_unique<RecordingLoader>(seen, missing); });
    publishPropsString(u"Language=ENG;AcctSet="_s + m_location + u';');

    flows()[flow].second();

    QVERIFY2(!seen.isEmpty(), "the flow showed no text");
    QStringList lacking = missing.values();
    lacking.sort();
    QVERIFY2(lacking.isEmpty(),
             qPrintable(u"No English entry for:\n  "_s + lacking.join(u"\n  "_s)));
}

// The program's messages, errors and faults, read from the sources: many are met only on a
// failure no flow can cause (a full disk, a lost connection).
void tst_TranslationCoverage::everyKeyOfTheHostHasAnEnglishEntry()
{
    ResourceLoader loader;
    loader.setResFileBaseName(u"ulm"_s);
    loader.setLanguageID(u"ENG"_s);
    QStringList lacking;
    int keys = 0;
    const QList<SourceText> texts = sourceTexts();
    for (const SourceText &source : texts) {
        if (!source.key)
            continue;
        ++keys;
        // As LoadLangString asks for it.
        const QString key = trimSpaces(trimSpaces(source.text).replace(u'\'', u' '));
        const auto lookup =
            source.header ? ResourceLoader::Lookup::ColumnHeader : ResourceLoader::Lookup::Text;
        if (!loader.find(key, lookup))
            lacking.append(source.where + u": "_s + key);
    }
    QVERIFY2(keys > 150, qPrintable(QString::number(keys)));
    QVERIFY2(lacking.isEmpty(),
             qPrintable(u"No English entry for:\n  "_s + lacking.join(u"\n  "_s)));
}

void tst_TranslationCoverage::noEnglishSentenceBypassesTheCatalogs()
{
    QStringList bypassing;
    const QList<SourceText> texts = sourceTexts();
    for (const SourceText &source : texts) {
        if (!source.key && readsAsEnglish(source) && !isExempt(source))
            bypassing.append(source.where + u": "_s + source.text);
    }
    QVERIFY2(bypassing.isEmpty(),
             qPrintable(u"Not through LoadLangString:\n  "_s + bypassing.join(u"\n  "_s)));
}

QTEST_MAIN(tst_TranslationCoverage)
#include "tst_translationcoverage.moc"
