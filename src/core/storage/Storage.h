#pragma once

#include "core/storage/PriceListRebuild.h"

#include <functional>
#include <memory>

class NameIndex;
class OrderStorage;
class PriceCatalogue;
class PriceChangeStorage;
class SettingsStorage;

// Everything a program keeps, chosen once when it opens its shop; callers
// never see a connection.
class Storage
{
public:
    virtual ~Storage() = default;

    virtual PriceCatalogue& catalogue() = 0;
    virtual SettingsStorage& settings() = 0;
    virtual OrderStorage& order() = 0;
    virtual PriceChangeStorage& priceChanges() = 0;
    virtual NameIndex& names() = 0;

    // Runs read so that no other program's commit falls within it.
    virtual void readInOneSnapshot(const std::function<void()>& read) = 0;

    // A new price list, made while this storage stays usable or, where the
    // engine cannot, after suspend().
    virtual std::unique_ptr<PriceListRebuild> rebuild(PriceListRebuild::Listener listener) = 0;

    // Indexes the names of a list made before names were indexed, all or
    // nothing, as safely as a rebuild replaces the list; fails where this
    // program may not change the list.
    virtual void buildNameIndex(PriceListRebuild::Listener listener) = 0;

    // Lets go of the connection and anything else a rebuild must replace;
    // resume() picks them up again, seeing the list as it now is.
    virtual void suspend() = 0;
    virtual void resume() = 0;
    virtual bool isSuspended() const = 0;

    // From now on listChanged is called, on a thread of the storage's own,
    // once each new price list another program puts in place is ready to
    // search; an engine whose programs cannot replace the list under each
    // other never calls it.
    virtual void watchListChanges(std::function<void()> /*listChanged*/) {}
};
