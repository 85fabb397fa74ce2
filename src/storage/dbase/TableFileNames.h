#pragma once

#include <QString>

// The names of a table's files as both table engines find them.
namespace tablefiles {

// The name of one of a table's files: the table's name with `extension` (".dbf", ".dbt" or
// ".mdx", in lower case) in place of its own. The table file keeps a ".dbf" extension in any
// spelling. Its memo and index files are spelt in capitals when the table's own ".DBF" is,
// else in lower case; where only the other spelling exists beside the table, that one is
// the table's file, as other programs name them either way.
QString TableFilePath(const QString& tablePath, const QString& extension);

} // namespace tablefiles
