#pragma once
// The builders of the similar-picture search's pages; the controller
// connects what they create and puts the texts on.

class QWidget;

// DupTabSheet02: BitBtnSimSuchen, BitBtnSimErgebnis (tag 0),
// LabelSimSchwelle with SpinEditSimSchwelle, CheckBoxSimGleichesBild.
QWidget* BuildSimilarSearchPage(QWidget* parent);

// ErgebnisAehnlich: the groups (ListView_Sim01) above BitBtn_Sim01 (mark),
// BitBtn_Sim02 (to the trash) and BitBtn_Sim03 (clear).
QWidget* BuildSimilarResultPage(QWidget* parent);
