#pragma once

// The ordered list of drawing objects a document (or an undo step, a clipboard
// selection, a template) holds. Whoever fills a list owns its objects unless the
// list is documented as a view of somebody else's (the view's selection).

#include <QList>

class CDrawObject;

using CDrawObjList = QList<CDrawObject *>;
