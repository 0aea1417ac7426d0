#include "routes/frmDelRoute.h"

#include "common/FileProcs.h"
#include "common/SharedState.h"
#include "platform/Ui.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTime>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// The lists' one tab stop, in dialog units: a quarter of the font's average character width.
constexpr int kTabStopDialogUnits = 170;
// The "Processing" panel's least width: 2000 twips at 15 twips a pixel.
constexpr int kProcessingPanelMinWidth = 2000 / 15;

// Draws a row's text with tab stops every tabStop pixels, so that the folder after the tab
// stands in a column.
class TabStopDelegate : public QStyledItemDelegate {
public:
    TabStopDelegate(int tabStop, QObject* parent) : QStyledItemDelegate(parent), tabStop_(tabStop) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem opt(option);
        initStyleOption(&opt, index);
        const QString text = opt.text;
        opt.text.clear();
        const QWidget* widget = opt.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

        const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget);
        const QPalette::ColorGroup group = (opt.state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
        const QPalette::ColorRole role = (opt.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text;
        QTextOption textOption(Qt::AlignLeft | Qt::AlignVCenter);
        textOption.setWrapMode(QTextOption::NoWrap);
        textOption.setTabStopDistance(tabStop_);
        painter->save();
        painter->setFont(opt.font);
        painter->setPen(opt.palette.color(group, role));
        painter->drawText(QRectF(textRect), text, textOption);
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        const QFontMetrics metrics(option.font);
        const QString text = index.data(Qt::DisplayRole).toString();
        const int width = metrics.size(Qt::TextSingleLine | Qt::TextExpandTabs, text, tabStop_).width() + 8;
        size.setWidth(qMax(size.width(), width));
        return size;
    }

private:
    int tabStop_;
};

QFont listFont()
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

QListWidget* makeList(QWidget* parent, const QString& name)
{
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    list->setFont(listFont());
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    return list;
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

int firstSelectedRow(const QListWidget* list)
{
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->isSelected())
            return row;
    }
    return -1;
}

void removeAllRows(QListWidget* list)
{
    for (int row = list->count() - 1; row >= 0; --row)
        delete list->takeItem(row);
}

void removeEntry(VbArray<QString>& table, qsizetype index)
{
    if (!table.contains(index))
        return;
    QList<QString> values = table.values();
    values.removeAt(index - table.lbound());
    table.redim(table.lbound(), table.lbound() + values.size() - 1);
    for (qsizetype k = 0; k < values.size(); ++k)
        table[table.lbound() + k] = values[k];
}

QPointer<frmDelRoute>& theInstance()
{
    static QPointer<frmDelRoute> window;
    return window;
}

const char* const kAvailable = "veltraneCommandAvailable";

} // namespace

// Disables the window's commands while a long command processes window events, so that no
// second command starts in the middle of it. "&Abort" stays available.
class frmDelRoute::BusyScope {
public:
    explicit BusyScope(frmDelRoute* window) : window_(window)
    {
        if (window_->busy_++ == 0)
            window_->setCommandsEnabled(false);
    }
    ~BusyScope()
    {
        if (window_ && --window_->busy_ == 0)
            window_->setCommandsEnabled(true);
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    QPointer<frmDelRoute> window_;
};

frmDelRoute::frmDelRoute(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmDelRoute"));
    buildControls();
    Form_Load();
}

frmDelRoute::~frmDelRoute() = default;

frmDelRoute& frmDelRoute::instance()
{
    QPointer<frmDelRoute>& window = theInstance();
    if (!window) {
        window = new frmDelRoute();
        window->setAttribute(Qt::WA_DeleteOnClose);
    }
    return *window;
}

frmDelRoute* frmDelRoute::existing()
{
    return theInstance().data();
}

int frmDelRoute::tabStopPixels() const
{
    return QFontMetrics(List1->font()).averageCharWidth() * kTabStopDialogUnits / 4;
}

void frmDelRoute::buildControls()
{
    resize(1180, 660);

    Label1 = new QLabel(QStringLiteral("Route Name"), this);
    Label2 = new QLabel(QStringLiteral("Route Folder"), this);
    Label3 = new QLabel(QStringLiteral("Scenario Name"), this);
    Label4 = new QLabel(QStringLiteral("Scenario Folder"), this);
    List1 = makeList(this, QStringLiteral("List1"));
    List2 = makeList(this, QStringLiteral("List2"));
    List3 = makeList(this, QStringLiteral("List3"));
    List4 = makeList(this, QStringLiteral("List4"));
    List5 = makeList(this, QStringLiteral("List5"));
    File1 = makeList(this, QStringLiteral("File1"));
    File1->setSelectionMode(QAbstractItemView::SingleSelection);

    Command1 = makeButton(this, QStringLiteral("Command1"), QStringLiteral("List Scenarios in Selected Route"));
    Command2 = makeButton(this, QStringLiteral("Command2"), QStringLiteral("Delete Selected Scenario"));
    Command3 = makeButton(this, QStringLiteral("Command3"), QStringLiteral("List Stock used by selected Scenario"));
    Command4 = makeButton(this, QStringLiteral("Command4"), QStringLiteral("Check Selected Route"));
    Command5 = makeButton(this, QStringLiteral("Command5"), QStringLiteral("Add to Package"));
    Command6 = makeButton(this, QStringLiteral("Command6"), QStringLiteral("Process Package"));
    Command7 = makeButton(this, QStringLiteral("Command7"), QStringLiteral("Substitute Scenery Item"));
    Command8 = makeButton(this, QStringLiteral("Command8"), QStringLiteral("Package this Routes Assets"));
    Command9 = makeButton(this, QStringLiteral("Command9"), QStringLiteral("Clone Route"));
    Command10 = makeButton(this, QStringLiteral("Command10"), QStringLiteral("&Abort"));
    OKButton = makeButton(this, QStringLiteral("OKButton"), QStringLiteral("Delete Selected Route"));
    CancelButton = makeButton(this, QStringLiteral("CancelButton"), QStringLiteral("&Exit"));

    auto* lists = new QGridLayout;
    lists->addWidget(Label1, 0, 0);
    lists->addWidget(Label2, 0, 1);
    lists->addWidget(List1, 1, 0);
    lists->addWidget(List2, 1, 1);
    lists->addWidget(Label3, 2, 0);
    lists->addWidget(Label4, 2, 1);
    lists->addWidget(List3, 3, 0);
    lists->addWidget(List4, 3, 1);
    lists->addWidget(List5, 4, 0);
    lists->addWidget(File1, 4, 1);
    lists->setColumnStretch(0, 5);
    lists->setColumnStretch(1, 2);
    // The folder lists are wide enough for a folder named by a GUID.
    const int folderWidth = QFontMetrics(List2->font()).horizontalAdvance(QString(38, QLatin1Char('0')));
    List2->setMinimumWidth(folderWidth);
    List4->setMinimumWidth(folderWidth);
    lists->setRowStretch(1, 3);
    lists->setRowStretch(3, 2);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {Command1, Command2, Command3, Command4, Command7, Command9, OKButton, Command5,
                                Command6, Command8})
        buttons->addWidget(button);
    buttons->addStretch(1);
    buttons->addWidget(Command10);
    buttons->addWidget(CancelButton);

    auto* body = new QHBoxLayout;
    body->addLayout(lists, 1);
    body->addLayout(buttons);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StatusPanel1 = new QLabel(StatusBar1);
    StatusPanel1->setObjectName(QStringLiteral("Processing"));
    StatusPanel1->setMinimumWidth(kProcessingPanelMinWidth);
    StatusPanel2 = new QLabel(StatusBar1);
    StatusPanel2->setObjectName(QStringLiteral("Time panel"));
    StatusPanel3 = new QLabel(StatusBar1);
    StatusBar1->addWidget(StatusPanel1);
    StatusBar1->addWidget(StatusPanel2);
    StatusBar1->addWidget(StatusPanel3);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addWidget(StatusBar1);

    const int tabStop = tabStopPixels();
    List1->setItemDelegate(new TabStopDelegate(tabStop, List1));
    List3->setItemDelegate(new TabStopDelegate(tabStop, List3));

    clock_ = new QTimer(this);
    clock_->setInterval(1000);
    connect(clock_, &QTimer::timeout, this, &frmDelRoute::updateTimePanel);

    // The commands this window carries out itself. The buttons of commands that other
    // tools provide become available when those tools wire them.
    connect(List1, &QListWidget::itemClicked, this, [this] { List1_Click(); });
    connect(Command1, &QPushButton::clicked, this, &frmDelRoute::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmDelRoute::Command2_Click);
    connect(Command10, &QPushButton::clicked, this, &frmDelRoute::Command10_Click);
    connect(CancelButton, &QPushButton::clicked, this, &frmDelRoute::CancelButton_Click);
    for (QPushButton* button : {Command1, Command2, Command10, CancelButton})
        button->setProperty(kAvailable, true);
}

void frmDelRoute::showCommand(QPushButton* button, bool wantedInMode)
{
    button->setVisible(wantedInMode && button->property(kAvailable).toBool());
}

void frmDelRoute::Form_Load()
{
    SharedState& s = shared();
    try {
        s.RouteNames.redim(0, routes::kRouteTableUpper);
        s.RouteFolders.redim(0, routes::kRouteTableUpper);
        UsedBlueprints.redim(0, routes::kRouteTableUpper);
        UsedTextures.redim(0, routes::kRouteTableUpper);

        List1->update();
        List3->update();

        const bool scenarioPackage = s.PackageScenariosMode;
        showCommand(Command4, !scenarioPackage);
        showCommand(OKButton, !scenarioPackage);
        showCommand(Command2, !scenarioPackage);
        showCommand(Command3, !scenarioPackage);
        showCommand(Command5, scenarioPackage);
        showCommand(Command6, scenarioPackage);
        showCommand(Command1, true);
        showCommand(Command7, true);
        showCommand(Command9, true);
        showCommand(Command10, true);
        showCommand(CancelButton, true);
        List5->hide();
        File1->hide();

        RoutesXmlPath = s.GamePath + QStringLiteral("\\Content\\Routes.xml");
        RoutesXmlText.clear();
        try {
            ReadTextFile(RoutesXmlPath, RoutesXmlText);
        } catch (const VbError&) {
            RoutesXmlText.clear(); // an empty or unreadable list holds no routes
        }

        if (!s.PackageRouteMode) {
            setWindowTitle(QStringLiteral("Select Route"));
            OKButton->setText(QStringLiteral("Delete Selected Route"));
            showCommand(Command8, false);
        } else {
            setWindowTitle(QStringLiteral("Select Route to Package"));
            OKButton->setText(QStringLiteral("Package Selected Route"));
            showCommand(Command8, true);
        }

        removeAllRows(List1);
        removeAllRows(List2);
        removeAllRows(List3);
        removeAllRows(List4);
        const qsizetype count = routes::ReadRoutes(RoutesXmlText, s.RouteNames, s.RouteFolders);
        for (qsizetype k = 0; k < count; ++k) {
            List2->addItem(s.RouteFolders[k]);
            List1->addItem(routes::ListRow(s.RouteNames[k], s.RouteFolders[k]));
        }

        StatusPanel1->setText(QStringLiteral("Processing"));
        StatusPanel3->clear();
        updateTimePanel();
        clock_->start();

        if (count == 0)
            ui().msgBox(QStringLiteral("No routes were found in ") + RoutesXmlPath, vb::vbOKOnly + vb::vbExclamation);
    } catch (const VbError& error) {
        ui().msgBox(QStringLiteral("An Error ") + QString::number(error.number) + QStringLiteral(" occurred in Form_Load"),
                    vb::vbOKOnly + vb::vbExclamation);
    } catch (const std::exception&) {
        ui().msgBox(QStringLiteral("An Error occurred in Form_Load"), vb::vbOKOnly + vb::vbExclamation);
    }
}

void frmDelRoute::updateTimePanel()
{
    StatusPanel2->setText(QLocale::system().toString(QTime::currentTime(), QLocale::ShortFormat));
}

void frmDelRoute::setCommandsEnabled(bool enabled)
{
    for (QWidget* widget : std::initializer_list<QWidget*>{List1, List3, Command1, Command2, Command3, Command4,
                                                            Command5, Command6, Command7, Command8, Command9,
                                                            OKButton, CancelButton})
        widget->setEnabled(enabled);
}

void frmDelRoute::List1_Click()
{
    Command1_Click();
}

void frmDelRoute::Command1_Click()
{
    if (isBusy())
        return;
    const int row = firstSelectedRow(List1);
    SharedState& s = shared();
    if (row < 0 || !s.RouteFolders.contains(row))
        return; // no route picked: nothing is converted or written
    BusyScope busy(this);
    BusyPointer pointer;

    File1->hide();
    removeAllRows(List3);
    removeAllRows(List4);
    const bool scenarioPackage = s.PackageScenariosMode;
    routes::ListScenarios(*this, s.RouteFolders[row], [this, scenarioPackage](const QString& name, const QString& folder) {
        if (!scenarioPackage)
            List4->addItem(folder);
        List3->addItem(routes::ListRow(name, folder));
    });
}

void frmDelRoute::Command2_Click()
{
    if (isBusy())
        return;
    const int row = firstSelectedRow(List3);
    if (row < 0 || row >= List4->count())
        return; // no scenario picked: nothing is deleted or written
    if (ui().msgBox(QStringLiteral("Do you really wish to delete the selected scenario?"),
                    vb::vbYesNo + vb::vbExclamation)
        != vb::vbYes)
        return;
    BusyScope busy(this);
    BusyPointer pointer;

    List3->item(row)->setSelected(false);
    const QString folder = List4->item(row)->text();
    if (!routes::DeleteScenario(*this, folder))
        return;
    delete List3->takeItem(row);
    delete List4->takeItem(row);
    // The tables follow the rows, so that entry k still belongs to row k.
    SharedState& s = shared();
    removeEntry(s.ScenarioFolders, row);
    removeEntry(s.ScenarioNames, row);
}

void frmDelRoute::Command10_Click()
{
    shared().AbortScan = true;
}

void frmDelRoute::CancelButton_Click()
{
    close();
}

void frmDelRoute::closeEvent(QCloseEvent* event)
{
    if (isBusy()) {
        event->ignore(); // a command is still working on this window's lists
        return;
    }
    // Form_Unload
    shared().PackageScenariosMode = false;
    clock_->stop();
    event->accept();
}
