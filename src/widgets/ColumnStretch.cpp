#include "widgets/ColumnStretch.h"

#include <QEvent>
#include <QHeaderView>

#include <algorithm>
#include <numeric>

namespace AllocFix {

namespace {

class ColumnStretcher : public QObject {
public:
    ColumnStretcher(QHeaderView *header, const QList<int> &weights)
        : QObject(header)
        , m_header(header)
        , m_view(header->parentWidget())
        , m_weights(weights)
    {
        // The view's width is known from its placing; the header's only once it is laid out.
        takeStart();
        m_view->installEventFilter(this);
        connect(header, &QHeaderView::sectionResized, this, [this] {
            if (!m_placing)
                takeStart();
        });
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_view && event->type() == QEvent::Resize)
            place();
        return false;
    }

private:
    void takeStart()
    {
        m_startWidth = m_view->width();
        QHeaderView *header = m_header;
        m_startColumns.clear();
        for (int column = 0; column < header->count(); ++column)
            m_startColumns.append(header->sectionSize(column));
    }

    void place()
    {
        QHeaderView *header = m_header;
        const int total = std::accumulate(m_weights.begin(), m_weights.end(), 0);
        const int columns = std::min({static_cast<int>(m_startColumns.size()),
                                      static_cast<int>(m_weights.size()), header->count()});
        if (total <= 0)
            return;
        const int gain = m_view->width() - m_startWidth;
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

    QHeaderView *m_header;
    QWidget *m_view;
    QList<int> m_weights;
    int m_startWidth = 0;
    QList<int> m_startColumns;
    bool m_placing = false;
};

} // namespace

void stretchColumns(QHeaderView *header, const QList<int> &weights)
{
    new ColumnStretcher(header, weights);
}

} // namespace AllocFix
