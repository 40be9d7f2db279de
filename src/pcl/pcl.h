#pragma once
// What the PCL page loop shares with the PCL back-end.

// The print direction, in degrees, under which what is being written now will be played:
// curved boxes are drawn in HP-GL/2, which does not turn with the PCL print direction, so the
// back-end must know it. The page loop sets it at every side turn and page end.
extern int direcao_pcl;
