#include "db/oracle_describe.h"

#include "db/oci_error.h"
#include "db/oci_handle.h"
#include "db/oci_library.h"

namespace dovrelle {

namespace {

QString describedText(const OciCalls& oci, OCIParam* param, ub4 attribute)
{
    OraText* text = nullptr;
    ub4 size = 0;
    oci.attrGet(param, oci::DTYPE_PARAM, &text, &size, attribute, "describe a column");
    return QString::fromUtf8(reinterpret_cast<const char*>(text), static_cast<qsizetype>(size));
}

template <typename T>
T describedNumber(const OciCalls& oci, OCIParam* param, ub4 attribute)
{
    T value{};
    oci.attrGet(param, oci::DTYPE_PARAM, &value, nullptr, attribute, "describe a column");
    return value;
}

// An attribute that only informs (precision, scale, length in characters): 0 when not reported.
template <typename T>
T describedDetail(const OciCalls& oci, OCIParam* param, ub4 attribute)
{
    T value{};
    if (!ociSucceeded(oci.library().AttrGet(param, oci::DTYPE_PARAM, &value, nullptr, attribute,
                                            oci.errorHandle())))
        return T{};
    return value;
}

}  // namespace

std::vector<OracleColumn> describeColumns(const OciCalls& oci, OCIStmt* stmt)
{
    ub4 count = 0;
    oci.attrGet(stmt, oci::HTYPE_STMT, &count, nullptr, oci::ATTR_PARAM_COUNT,
                "describe the table");
    std::vector<OracleColumn> columns;
    columns.reserve(count);
    for (ub4 position = 1; position <= count; ++position) {
        const OciParamDescriptor param(&oci.library(), oci.paramGet(stmt, position));
        OracleColumn column;
        column.name = describedText(oci, param.get(), oci::ATTR_NAME);
        column.dataType = describedNumber<ub2>(oci, param.get(), oci::ATTR_DATA_TYPE);
        column.dataSize = describedNumber<ub2>(oci, param.get(), oci::ATTR_DATA_SIZE);
        column.precision = describedDetail<sb2>(oci, param.get(), oci::ATTR_PRECISION);
        column.scale = describedDetail<sb1>(oci, param.get(), oci::ATTR_SCALE);
        column.charSize = describedDetail<ub2>(oci, param.get(), oci::ATTR_CHAR_SIZE);
        column.charsetForm = describedDetail<ub1>(oci, param.get(), oci::ATTR_CHARSET_FORM);
        column.kind = bindKindFor(column.dataType);
        columns.push_back(std::move(column));
    }
    return columns;
}

}  // namespace dovrelle
