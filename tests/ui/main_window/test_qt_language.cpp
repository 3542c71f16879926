// Qt's own words follow the program's language: the details view's headers,
// its type names and dates, the properties dialog's button, and the dates in
// Qt's file dialogs.

#include "common/main_window_fixture.h"

#include "common/dialog_answerer.h"
#include "common/test_env.h"
#include "common/test_registry.h"
#include "i18n/catalogue.h"
#include "ui/dialogs/options_dialog.h"
#include "ui/file_list/shell_file_list.h"
#include "ui/main_window/qt_translation.h"

#include <QAbstractButton>
#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLibraryInfo>
#include <QTest>
#include <QTreeView>

using namespace mwtest;

namespace {

bool GermanQtTranslationInstalled() {
    return QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                             QStringLiteral("/qtbase_de.qm"));
}

QStringList HeaderTexts(THauptForm& window) {
    QTreeView* details = window.fileList()->detailsView();
    QStringList texts;
    for (int column = 0; column < details->model()->columnCount(details->rootIndex()); ++column)
        texts << details->model()->headerData(column, Qt::Horizontal).toString();
    return texts;
}

// The text of `column` in the row of `name`, once the model filled it in.
QString CellText(THauptForm& window, const QString& name, int column) {
    QAbstractItemModel* model = window.fileList()->detailsView()->model();
    const QModelIndex root = window.fileList()->detailsView()->rootIndex();
    for (int row = 0; row < model->rowCount(root); ++row)
        if (model->index(row, 0, root).data().toString() == name)
            return model->index(row, column, root).data().toString();
    return QString();
}

// The date a file dialog lists for `path`, in its details view.
QString DialogDate(QFileDialog& dialog, const QString& path) {
    dialog.setViewMode(QFileDialog::Detail);
    dialog.setDirectory(QFileInfo(path).absolutePath());
    auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    QString date;
    (void)QTest::qWaitFor([&] {
        const QModelIndex root = view->rootIndex();
        for (int row = 0; row < view->model()->rowCount(root); ++row)
            if (view->model()->index(row, 0, root).data().toString() == QFileInfo(path).fileName())
                date = view->model()->index(row, 3, root).data().toString();
        return !date.isEmpty();
    });
    return date;
}

} // namespace

class TestQtLanguage : public QObject {
    Q_OBJECT
private slots:
    void init() { SetLanguageOffset(0); }
    void cleanup() { ApplyQtTranslation(0); }

    void detailsViewInTheLanguage_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QStringList>("headers");
        QTest::addColumn<QString>("folderType");
        QTest::addColumn<QString>("pictureType");
        QTest::newRow("English, then German")
            << 10000 << 0 << QStringList{"Name", "Größe", "Typ", "Änderungsdatum"} << "Verzeichnis"
            << "JPEG-Bild";
        QTest::newRow("German, then English")
            << 0 << 10000 << QStringList{"Name", "Size", "Type", "Date Modified"} << "Folder"
            << "JPEG image";
    }
    void detailsViewInTheLanguage() {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QStringList, headers);
        QFETCH(QString, folderType);
        QFETCH(QString, pictureType);
        if (!GermanQtTranslationInstalled())
            QSKIP("Qt's German translation (qt6-translations-l10n) is not installed");
        Folder folder({"Urlaub/", "bild.jpg"});
        testing::writeFile(folder.file("bild.jpg"), QByteArray("\xFF\xD8\xFF\xE0", 4));
        auto window = MakeWindow([from](AppSettings& s) { s.Sprache = from; });
        SwitchLanguage(*window, to);
        QVERIFY(ShowFolder(*window, folder.path()));
        Find<QAction>(*window, "TB01Report")->trigger();

        QCOMPARE(HeaderTexts(*window), headers);
        QTRY_COMPARE(CellText(*window, "Urlaub", 2), folderType);
        QTRY_COMPARE(CellText(*window, "bild.jpg", 2), pictureType);
        const QDateTime modified = QFileInfo(folder.file("bild.jpg")).lastModified();
        QCOMPARE(CellText(*window, "bild.jpg", 3),
                 LocaleForLanguage(to).toString(modified, QLocale::ShortFormat));
    }

    void propertiesDialogInTheLanguage_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("close");
        QTest::addColumn<QString>("title");
        QTest::newRow("German") << 0 << "Schließen"
                                << "Eigenschaften: bild.jpg";
        QTest::newRow("English") << 10000 << "Close"
                                 << "Properties: bild.jpg";
    }
    void propertiesDialogInTheLanguage() {
        QFETCH(int, language);
        QFETCH(QString, close);
        QFETCH(QString, title);
        Folder folder({"bild.jpg"});
        auto window = MakeWindow([language](AppSettings& s) { s.Sprache = language; });
        QVERIFY(ShowFolder(*window, folder.path()));
        window->fileList()->selectNames({"bild.jpg"});
        QString shownClose;
        DialogAnswerer answers;
        answers.queue("Close", [&](QWidget* dialog) {
            shownClose = dialog->findChild<QAbstractButton*>("Close")->text();
        });
        Find<QAction>(*window, "PM01_Eigenschaften")->trigger();
        QCOMPARE(answers.shown().size(), 1);
        QCOMPARE(answers.shown().at(0).title, title);
        QCOMPARE(shownClose, close);
    }

    void fileDialogsListDatesInTheLanguage_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("opener");
        QTest::addColumn<QString>("cancel");
        for (const int language : {0, 10000}) {
            const char* name = language == 0 ? "German" : "English";
            QTest::addRow("%s, editor's open dialog", name) << language << "TB02LoadPic"
                                                            << "Abbrechen";
            QTest::addRow("%s, options' texture dialog", name) << language << "HL_SpeedButton01"
                                                               << "OpenPictureCancel";
        }
    }
    void fileDialogsListDatesInTheLanguage() {
        QFETCH(int, language);
        QFETCH(QString, opener);
        QFETCH(QString, cancel);
        Folder folder({"bild.jpg"});
        const QString picture = folder.file("bild.jpg");
        auto window = MakeWindow([language](AppSettings& s) { s.Sprache = language; });
        TFormOptionen options(*window);
        QString shown;
        DialogAnswerer answers;
        answers.queue(cancel, [&](QWidget* dialog) {
            shown = DialogDate(*qobject_cast<QFileDialog*>(dialog), picture);
        });
        if (opener == "TB02LoadPic")
            Find<QAction>(*window, opener)->trigger();
        else
            options.findChild<QAbstractButton*>(opener)->click();
        QCOMPARE(answers.shown().size(), 1);
        const QDateTime modified = QFileInfo(picture).lastModified();
        QCOMPARE(shown, LocaleForLanguage(language).toString(modified, QLocale::ShortFormat));
    }
};

KELVASTO_REGISTER_TEST(TestQtLanguage)
#include "test_qt_language.moc"
