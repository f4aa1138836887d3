#pragma once

#include "conversion/ConversionContext.h"

namespace velmora {

// The eight table builders, called in this order by the conversion run. Each writes its
// tables into context.folder.
void CargarMaterias(ConversionContext& context);      // ASIGNOMT, subjects
void CargarTareas(ConversionContext& context);        // ASIGNOMT, tasks added
void CargarMateriasCurso(ConversionContext& context); // ASIGNOMT2
void CargarProfesores(ConversionContext& context);    // PROFT
void CargarAulas(ConversionContext& context);         // AULAT
void CargarCursosGrupos(ConversionContext& context);  // CURSOST, GRUPOST
void CargarAsignaciones(ConversionContext& context);  // ASIGT
void CargarJornadas(ConversionContext& context);      // DIASHORAST

} // namespace velmora
