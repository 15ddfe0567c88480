# Where the ICD-10-CM tabular XML comes from. It is never part of the repository.
set(_tabular_candidates
  "${CMAKE_SOURCE_DIR}/../shared/icd10cm/icd10cm_tabular_2023.xml"
  "/work/shared/icd10cm/icd10cm_tabular_2023.xml")
set(_tabular_default "")
foreach(_c IN LISTS _tabular_candidates)
  if(EXISTS "${_c}" AND _tabular_default STREQUAL "")
    get_filename_component(_tabular_default "${_c}" ABSOLUTE)
  endif()
endforeach()
set(MORBIVUE_TABULAR_XML "${_tabular_default}" CACHE FILEPATH
  "ICD-10-CM tabular list XML (icd10cm_tabular_YYYY.xml) that the build turns into the archive")
if(NOT MORBIVUE_TOOLS_ONLY AND NOT EXISTS "${MORBIVUE_TABULAR_XML}")
  message(FATAL_ERROR
    "ICD-10-CM tabular XML not found (MORBIVUE_TABULAR_XML='${MORBIVUE_TABULAR_XML}').\n"
    "Download the 'ICD-10-CM Tabular List of Diseases and Injuries' XML (icd10cm_tabular_YYYY.xml) "
    "from CDC/NCHS: https://www.cdc.gov/nchs/icd/icd-10-cm/files.html (or the CMS ICD-10 page), "
    "then configure with -DMORBIVUE_TABULAR_XML=/path/to/icd10cm_tabular_YYYY.xml")
endif()
