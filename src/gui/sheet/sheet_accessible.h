#pragma once

class QAccessibleInterface;
class QObject;
class QString;

namespace qx {

// Assistive technology sees the grid as a table: its cells with their shown texts, the
// current cell and the selection. Installed once by the application.
QAccessibleInterface* sheetAccessibleFactory(const QString& className, QObject* object);
void installSheetAccessibility();

} // namespace qx
