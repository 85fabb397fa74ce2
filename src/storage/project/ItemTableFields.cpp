#include "storage/project/ItemTableFields.h"

#include "framework/data/DataSet.h"
#include "framework/data/Fields.h"

#include <memory>

void AddItemTableFields(TDataSet& table) {
    table.AddField(std::make_unique<TStringField>(QStringLiteral("GROUP"), 20));
    table.AddField(std::make_unique<TStringField>(QStringLiteral("CAPTION"), 120));
    table.AddField(std::make_unique<TStringField>(QStringLiteral("DESCRIPTOR"), 180));
    table.AddField(std::make_unique<TMemoField>(QStringLiteral("COMMENTS")));
    table.AddField(std::make_unique<TStringField>(QStringLiteral("PICTURE"), 160));
    table.AddField(std::make_unique<TStringField>(QStringLiteral("FILE"), 160));
}
