#pragma once

#include "grid/DataGrid.h"

// The columns of the three view grids.
QList<GridColumn> goodsColumns();
QList<GridColumn> customerColumns();
QList<GridColumn> deliveryColumns();
