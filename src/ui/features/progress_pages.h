#pragma once
// The progress panel the jobs share: NBStatus01 with one page per job, at the
// page numbers of job_controls.h (the logo first), each with the counters,
// bar and abort button named there. A job's controller connects its abort
// button by name; a new job adds its page here.

class QStackedWidget;
class QWidget;

// NBStatus01 with the progress pages.
QStackedWidget* BuildProgressPages(QWidget* parent);

// PanelSerien01 holding NBStatus01: 200 pixels wide, or wider when a caption
// of the progress pages needs more in the window's font.
QWidget* BuildProgressPanel(QWidget* parent);
