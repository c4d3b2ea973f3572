IDH_DEVICE_LIST=list.htm
IDH_PROPERTIES=properties.htm
IDH_DEVICE_MANAGER=devmgmt.htm
IDH_CLOSE=close.htm
IDH_LOGO=logo.htm
