#include "interp/interp.h"

void Interpreta(Lista*) {}
void InterpretaFixFrente() {
    Interpreta(objsff);
}
void InterpretaFixVerso() {
    Interpreta(objsfv);
}
void InterpretaVarFrente() {
    Interpreta(objsvf);
}
void InterpretaVarVerso() {
    Interpreta(objsvv);
}
int TemObjsff() {
    return objsff != nullptr;
}
int TemObjsfv() {
    return objsfv != nullptr;
}
int TemObjsvf() {
    return objsvf != nullptr;
}
int TemObjsvv() {
    return objsvv != nullptr;
}
void FinalizaInterp() {}
