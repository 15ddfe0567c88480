# Where the ICD-10-CM index XML files come from: the External Cause Index and the two tables
# beside the tabular list by default; the Index to Diseases and Injuries only when given.
get_filename_component(_index_dir "${MORBIVUE_TABULAR_XML}" DIRECTORY)
foreach(_pair "EINDEX;eindex" "NEOPLASM;neoplasm" "DRUG;drug")
  list(GET _pair 0 _var)
  list(GET _pair 1 _stem)
  set(_default "")
  if(EXISTS "${_index_dir}/icd10cm_${_stem}_2023.xml")
    set(_default "${_index_dir}/icd10cm_${_stem}_2023.xml")
  endif()
  set(MORBIVUE_${_var}_XML "${_default}" CACHE FILEPATH
    "ICD-10-CM index XML (icd10cm_${_stem}_YYYY.xml) packed as an index of the Index tab")
  if(NOT MORBIVUE_TOOLS_ONLY AND NOT EXISTS "${MORBIVUE_${_var}_XML}")
    message(FATAL_ERROR
      "ICD-10-CM index XML not found (MORBIVUE_${_var}_XML='${MORBIVUE_${_var}_XML}').\n"
      "Download the ICD-10-CM index files (icd10cm_${_stem}_YYYY.xml, in the same release as the "
      "tabular list) from CDC/NCHS: https://www.cdc.gov/nchs/icd/icd-10-cm/files.html, then "
      "configure with -DMORBIVUE_${_var}_XML=/path/to/icd10cm_${_stem}_YYYY.xml")
  endif()
endforeach()
set(MORBIVUE_INDEX_XML "" CACHE FILEPATH
  "ICD-10-CM Index to Diseases and Injuries XML (icd10cm_index_YYYY.xml); packed when given")
if(NOT MORBIVUE_INDEX_XML STREQUAL "" AND NOT EXISTS "${MORBIVUE_INDEX_XML}")
  message(FATAL_ERROR "MORBIVUE_INDEX_XML='${MORBIVUE_INDEX_XML}' does not exist")
endif()
