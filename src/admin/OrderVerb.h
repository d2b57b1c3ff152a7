#pragma once

#include "admin/AdminVerb.h"

class Order;

// "order FOLDER add|remove|clear|list|export …": the clerk's order to the
// supplier, kept with the shop.
class OrderVerb : public AdminVerb
{
public:
    int execute(const QStringList& arguments, QTextStream& out, QTextStream& err) override;

private:
    // One tab-separated line per part, then the totals.
    static QString list(const Order& order);
};
