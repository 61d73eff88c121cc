// Control IDs of TForm1. Every control carries a unique ID in the window
// tree, so a driver can find it by searching all descendants.
#pragma once

namespace zumorika {

enum ControlId : int {
  kIdButton1 = 1,  // IDOK
  kIdButton2 = 2,  // IDCANCEL
  kIdButton3 = 1003,
  kIdEdit1 = 1011,
  kIdEdit2 = 1012,
  kIdEdit3 = 1013,
  kIdRadioButton1 = 1021,
  kIdRadioButton2 = 1022,
  kIdRadioButton3 = 1023,
  kIdRadioButton4 = 1024,
  kIdRadioButton5 = 1025,
  kIdRadioButton6 = 1026,
  kIdRadioGroup1 = 1030,
  kIdRadioGroup1Item0 = 1031,  // "白黒"; items 1..3 follow at 1032..1034
  kIdComboBox1 = 1041,
  kIdComboBox2 = 1042,
  kIdUpDown1 = 1051,
  kIdImage1 = 1061,
  kIdScrollBox2 = 1062,
  kIdLabelA1 = 1071,
  kIdLabelB1 = 1072,
  kIdLabel1 = 1081,  // Label1..Label7 at 1081..1087
  kIdGroupBox1 = 1091,
  kIdGroupBox2 = 1092,
  kIdGroupBox3 = 1093,
  kIdGroupBox4 = 1094,
  kIdMemo1 = 1101,
};

}  // namespace zumorika
