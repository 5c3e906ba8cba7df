#pragma once
// The detail view as the script sees it: while a session runs, every detail
// view that loads writes one line
// {"detail":{"sql":S,"title":S,"price":S,"description":S,"photo":S}}
// before it closes; "photo" is the photograph file shown, as the database
// names it, "" when none.

namespace vokhost {

void startDetailReports();
void stopDetailReports();

} // namespace vokhost
