# Where the ICD-10-CM index XML files come from: by default the four beside the tabular list, of
# the same release (the Index to Diseases and Injuries, the two tables, the External Cause Index).
get_filename_component(_index_dir "${MORBIVUE_TABULAR_XML}" DIRECTORY)
foreach(_pair "INDEX;index" "EINDEX;eindex" "NEOPLASM;neoplasm" "DRUG;drug")
  list(GET _pair 0 _var)
  list(GET _pair 1 _stem)
  set(_default "")
  if(EXISTS "${_index_dir}/icd10cm_${_stem}_2023.xml")
    set(_default "${_index_dir}/icd10cm_${_stem}_2023.xml")
  endif()
  set(MORBIVUE_${_var}_XML "${_default}" CACHE FILEPATH
    "ICD-10-CM index XML (icd10cm_${_stem}_YYYY.xml) packed as an index of the Index tab")
  # Build trees configured when the Index to Diseases was optional hold it empty.
  if(MORBIVUE_${_var}_XML STREQUAL "" AND NOT _default STREQUAL "")
    set_property(CACHE MORBIVUE_${_var}_XML PROPERTY VALUE "${_default}")
  endif()
  if(NOT MORBIVUE_TOOLS_ONLY AND NOT EXISTS "${MORBIVUE_${_var}_XML}")
    message(FATAL_ERROR
      "ICD-10-CM index XML not found (MORBIVUE_${_var}_XML='${MORBIVUE_${_var}_XML}').\n"
      "Download the ICD-10-CM index files (icd10cm_${_stem}_YYYY.xml, in the same release as the "
      "tabular list) from CDC/NCHS: https://www.cdc.gov/nchs/icd/icd-10-cm/files.html, then "
      "configure with -DMORBIVUE_${_var}_XML=/path/to/icd10cm_${_stem}_YYYY.xml")
  endif()
endforeach()
