#pragma once

#include <QString>
#include <QStringList>

// The name masks of the system's file search: one or more, separated by ";". "*" stands for
// any run of characters and "?" for one; letter case is ignored. The system's old rules hold
// too: a mask that ends in ".*" also takes names without an extension (so "*.*" takes every
// name), one that ends in "." takes only names without one, and "?"s at the end of a mask may
// stand for nothing. A mask without "*" or "?" takes every name that holds it, as the search
// window's name field does ("read" finds "readme.txt"). No mask at all takes every name.
class TSearchMasks {
public:
    explicit TSearchMasks(const QString& masks);

    bool Matches(const QString& name) const;
    // The same for a name whose letter case has been folded already.
    bool MatchesFolded(const QString& foldedName) const;

private:
    QStringList masks_; // case-folded, none empty
};
