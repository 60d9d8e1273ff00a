#pragma once

#include "allocfix_export.h"

#include <QMetaType>

#include <memory>

namespace AllocFix {

class FieldRecord;

// An ordered list of records with positions 1..count(). A RecordList is a handle: copies of the
// handle share one list, and copy() makes a new list. A default-constructed handle is "none";
// every operation on it raises Failure 91.
class ALLOCFIX_EXPORT RecordList {
public:
    RecordList() = default;
    static RecordList create();

    bool isNull() const { return !m_data; }
    explicit operator bool() const { return m_data != nullptr; }
    // Whether both handles name the same list.
    bool isSameObject(const RecordList &other) const { return m_data == other.m_data; }

    qsizetype count() const;
    // Failure 9 for a position outside 1..count().
    FieldRecord at(qsizetype position) const;
    void replace(qsizetype position, const FieldRecord &record);
    // Returns the position of the new element.
    qsizetype append(const FieldRecord &record);
    void remove(qsizetype position, qsizetype count = 1);
    // A new list holding the same element records.
    RecordList copy() const;

    // Identity, like isSameObject: lists are compared as objects, never element by element.
    friend bool operator==(const RecordList &a, const RecordList &b)
    {
        return a.m_data == b.m_data;
    }

private:
    struct Data;
    Data &data() const;
    std::shared_ptr<Data> m_data;
};

// A new list whose elements are copies of the source's elements: it shares no record with it.
ALLOCFIX_EXPORT RecordList CloneRecordList(const RecordList &list);

} // namespace AllocFix

Q_DECLARE_METATYPE(AllocFix::RecordList)
