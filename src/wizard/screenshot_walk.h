#pragma once

#include <QString>

namespace dovrelle {

class ConversionWizard;

// Walks the wizard through its pages against real servers and saves a picture of each page as
// page1.png ... page6.png in `folder` (page 6 after a real run), then quits the application.
// The values come from the environment: DOVRELLE_SHOT_MYSQL_HOST, _PORT, _USER, _PASSWORD,
// _DATABASE, DOVRELLE_SHOT_ORACLE_SERVICE, _USER, _PASSWORD, and DOVRELLE_SHOT_TABLES (names
// separated by commas, moved to the chosen list). Messages are printed, not shown.
void startScreenshotWalk(ConversionWizard& window, const QString& folder);

}  // namespace dovrelle
