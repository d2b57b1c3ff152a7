#pragma once

#include "core/storage/FieldValue.h"
#include "core/storage/PriceChange.h"

#include <QDate>
#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The making of a new price list beside the current one, which every reader
// keeps seeing, whole, until commit() puts the new one in its place at once.
// Destroyed before commit(), it leaves the current list as it was.
class PriceListRebuild
{
public:
    // A part of the list being replaced, as kept.
    struct PreviousPart
    {
        qint64 id = 0;
        std::string_view partNumber;
        std::string_view groupCode;
        std::optional<double> price;
    };
    // What became of a part of the new list, numbered from 1 as appended.
    struct Change
    {
        qint64 part = 0;
        PriceChange::Kind kind = PriceChange::Kind::New;
        std::optional<double> oldPrice;
    };
    // Long work calls keepAlive now and then and stops once it answers true;
    // commit() reports its share done as well.
    struct Listener
    {
        std::function<bool()> keepAlive;
        std::function<void(qint64 done, qint64 total)> progress;
    };

    virtual ~PriceListRebuild() = default;

    // Room for the new list; withGroups: the group list is replaced as well,
    // else the current one is kept.
    virtual void begin(bool withGroups) = 0;
    // How many parts the list being replaced holds.
    virtual qint64 previousCount() = 0;
    // Each part of the list being replaced; may run on a thread of its own
    // while the new list loads.
    virtual void visitPrevious(const std::function<void(const PreviousPart&)>& visit) = 0;

    virtual void createParts() = 0;
    // count parts laid out back to back, each in the price list's column order.
    virtual void appendParts(const FieldValue* values, size_t count) = 0;
    // What changed against the list replaced; removed are ids of its parts.
    virtual void storeChanges(const std::vector<Change>& changes, const std::vector<qint64>& removed) = 0;
    virtual void indexParts() = 0;
    // The name index of the new list, once its parts are all appended.
    virtual void indexNames() = 0;

    virtual void createGroups() = 0;
    // count groups laid out back to back, each in the group list's column order.
    virtual void appendGroups(const FieldValue* values, size_t count) = 0;
    // The group codes the new list will have, as spelled; nothing when it
    // has no group list at all.
    virtual std::optional<std::vector<QString>> groupCodes() = 0;
    virtual void addGroup(const QString& code, const QString& name) = 0;

    virtual void stampPriceDate(const QDate& date) = 0;
    virtual void commit() = 0;
};
