#include "foundation/ui/DBGrid.h"

#include "foundation/db/Query.h"

#include <QEvent>
#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

// The footer row: one cell under each visible column, aligned with the header's sections.
class FooterBar : public QWidget {
public:
    FooterBar(QTableView *view, GridModel *model, QWidget *parent)
        : QWidget(parent), m_view(view), m_model(model)
    {
        setObjectName(QStringLiteral("footer"));
        setFixedHeight(view->verticalHeader()->defaultSectionSize() + 2);
        connect(view->horizontalHeader(), &QHeaderView::sectionResized, this, qOverload<>(&QWidget::update));
        connect(view->horizontalScrollBar(), &QScrollBar::valueChanged, this, qOverload<>(&QWidget::update));
        connect(model, &GridModel::FooterChanged, this, qOverload<>(&QWidget::update));
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().window().color().darker(105));
        const QHeaderView *header = m_view->horizontalHeader();
        const int offset = m_view->verticalHeader()->isVisible() ? m_view->verticalHeader()->width() : 0;
        p.setPen(palette().mid().color());
        p.drawLine(rect().topLeft(), rect().topRight());
        for (int c = 0; c < m_model->columnCount(); ++c) {
            if (header->isSectionHidden(c)) continue;
            const QRect cell(offset + header->sectionViewportPosition(c) + m_view->frameWidth(), 0,
                             header->sectionSize(c), height());
            p.setPen(palette().mid().color());
            p.drawLine(cell.topRight(), cell.bottomRight());
            p.setPen(palette().text().color());
            p.drawText(cell.adjusted(4, 0, -4, 0), int(m_model->FooterAlignment(c) | Qt::AlignVCenter),
                       m_model->Footer(c));
        }
    }

private:
    QTableView *m_view;
    GridModel *m_model;
};

} // namespace

TDBGrid::TDBGrid(Query *query, QList<GridColumn> columns, QWidget *parent)
    : QWidget(parent), m_query(query), m_model(new GridModel(query, std::move(columns), this)),
      m_view(new QTableView(this))
{
    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setAlternatingRowColors(false);
    m_view->setWordWrap(false);
    m_view->verticalHeader()->setDefaultSectionSize(22);
    m_view->verticalHeader()->setFixedWidth(14);
    m_view->horizontalHeader()->setHighlightSections(false);
    m_view->horizontalHeader()->setStretchLastSection(false);
    m_view->viewport()->installEventFilter(this); // proportional widths follow the viewport's width

    m_footer = new FooterBar(m_view, m_model, this);
    m_footer->hide();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_view);
    layout->addWidget(m_footer);

    for (int c = 0; c < m_model->columnCount(); ++c)
        m_view->setColumnHidden(c, !m_model->Columns()[c].visible);
    ApplyWidths();

    // The selected row and the query's current row follow each other.
    connect(m_view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid() && current.row() != m_query->RecNo()) m_query->MoveTo(current.row());
            });
    auto followQuery = [this](int row) {
        if (row < 0 || row == m_view->currentIndex().row()) return;
        int column = m_view->currentIndex().isValid() ? m_view->currentIndex().column() : 0;
        while (column < m_model->columnCount() - 1 && m_view->isColumnHidden(column))
            ++column;
        m_view->setCurrentIndex(m_model->index(row, column));
    };
    connect(query, &Query::CurrentChanged, this, followQuery);
    connect(query, &Query::Reset, this, [this, followQuery] { followQuery(m_query->RecNo()); });
    connect(m_view, &QTableView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.isValid()) emit DblClick();
    });
}

void TDBGrid::SetFooterVisible(bool visible)
{
    m_footer->setVisible(visible);
}

bool TDBGrid::FooterVisible() const
{
    return !m_footer->isHidden();
}

void TDBGrid::SetColumnVisible(int column, bool visible)
{
    m_model->Column(column).visible = visible;
    m_view->setColumnHidden(column, !visible);
    ApplyWidths();
    m_footer->update();
}

void TDBGrid::SetProportionalWidths(bool on)
{
    m_proportional = on;
    ApplyWidths();
}

void TDBGrid::ApplyWidths()
{
    const QList<GridColumn> &columns = m_model->Columns();
    if (!m_proportional) {
        for (int c = 0; c < columns.size(); ++c)
            m_view->setColumnWidth(c, columns[c].width);
        return;
    }
    int total = 0;
    for (int c = 0; c < columns.size(); ++c)
        if (!m_view->isColumnHidden(c)) total += columns[c].width;
    const int available = m_view->viewport()->width();
    if (total <= 0 || available <= 0) return;
    for (int c = 0; c < columns.size(); ++c)
        if (!m_view->isColumnHidden(c)) m_view->setColumnWidth(c, columns[c].width * available / total);
}

bool TDBGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view->viewport() && event->type() == QEvent::Resize && m_proportional) ApplyWidths();
    return QWidget::eventFilter(watched, event);
}
