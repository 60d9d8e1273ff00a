#include "widgets/ColumnStretch.h"

#include <QEvent>
#include <QHeaderView>
#include <QTreeWidget>

#include <algorithm>
#include <numeric>

namespace AllocFix {

namespace {

class ColumnStretcher : public QObject {
public:
    ColumnStretcher(QTreeWidget *list, const QList<int> &weights)
        : QObject(list)
        , m_list(list)
        , m_weights(weights)
    {
        takeStart();
        list->installEventFilter(this);
        connect(list->header(), &QHeaderView::sectionResized, this, [this] {
            if (!m_placing)
                takeStart();
        });
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_list && event->type() == QEvent::Resize)
            place();
        return false;
    }

private:
    void takeStart()
    {
        m_startWidth = m_list->width();
        QHeaderView *header = m_list->header();
        m_startColumns.clear();
        for (int column = 0; column < header->count(); ++column)
            m_startColumns.append(header->sectionSize(column));
    }

    void place()
    {
        QHeaderView *header = m_list->header();
        const int total = std::accumulate(m_weights.begin(), m_weights.end(), 0);
        const int columns = std::min({static_cast<int>(m_startColumns.size()),
                                      static_cast<int>(m_weights.size()), header->count()});
        if (total <= 0)
            return;
        const int gain = m_list->width() - m_startWidth;
        m_placing = true;
        int shared = 0;
        int given = 0;
        for (int column = 0; column < columns; ++column) {
            // Cumulative shares, so the parts add up to the whole gain.
            shared += m_weights[column];
            const int upTo = gain * shared / total;
            header->resizeSection(column, std::max(header->minimumSectionSize(),
                                                   m_startColumns[column] + upTo - given));
            given = upTo;
        }
        m_placing = false;
    }

    QTreeWidget *m_list;
    QList<int> m_weights;
    int m_startWidth = 0;
    QList<int> m_startColumns;
    bool m_placing = false;
};

} // namespace

void stretchColumnsWithList(QTreeWidget *list, const QList<int> &weights)
{
    new ColumnStretcher(list, weights);
}

} // namespace AllocFix
