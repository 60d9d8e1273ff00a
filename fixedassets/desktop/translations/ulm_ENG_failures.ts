<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>ulm</name>
    <message>
        <source>查找条件“%1”不是“字段名 = 值”的形式</source>
        <translation>The search criterion "%1" is not of the form FieldName = value</translation>
    </message>
    <message>
        <source>没有当前记录：记录集已在最后一条记录之后</source>
        <translation>No current record: the record set stands past its last record</translation>
    </message>
    <message>
        <source>对象不支持该属性或方法：“%1”</source>
        <translation>Object doesn't support this property or method: '%1'</translation>
    </message>
    <message>
        <source>对象变量未设置（调用“%1”）</source>
        <translation>Object variable not set (calling '%1')</translation>
    </message>
    <message>
        <source>“%2”的第 %1 个参数类型不匹配</source>
        <translation>Type mismatch in argument %1 of '%2'</translation>
    </message>
    <message>
        <source>“%1”应返回值，却返回了对象</source>
        <translation>'%1' answers with an object where a value is expected</translation>
    </message>
    <message>
        <source>“%1”应返回对象，却返回了值</source>
        <translation>'%1' answers with a value where an object is expected</translation>
    </message>
    <message>
        <source>属性“%1”应是对象，却是值</source>
        <translation>Property '%1' holds a value where an object is expected</translation>
    </message>
    <message>
        <source>未知错误</source>
        <translation>Unknown error</translation>
    </message>
    <message>
        <source>沙漏结束的次数多于开始的次数</source>
        <translation>The hourglass was ended more often than it was begun</translation>
    </message>
    <message>
        <source>宿主的属性串不是文本</source>
        <translation>The host property string is not a text</translation>
    </message>
    <message>
        <source>无法创建对象“%1”：此 ProgID 下没有注册的类</source>
        <translation>Cannot create object "%1": no class is registered under this ProgID</translation>
    </message>
    <message>
        <source>无法创建对象“%1”：它的工厂没有给出对象</source>
        <translation>Cannot create object "%1": its factory gave no object</translation>
    </message>
    <message>
        <source>无法创建对象 %1：此类标识下没有注册的类</source>
        <translation>Cannot create object %1: no class is registered under this class identifier</translation>
    </message>
    <message>
        <source>对象 %1 不提供接口 %2</source>
        <translation>Object %1 does not offer the interface %2</translation>
    </message>
    <message>
        <source>对象变量未设置：记录为空</source>
        <translation>Object variable not set: the record is none</translation>
    </message>
    <message>
        <source>类型不匹配：%1</source>
        <translation>Type mismatch: %1</translation>
    </message>
    <message>
        <source>“%1”不是数字</source>
        <translation>"%1" is not a number</translation>
    </message>
    <message>
        <source>溢出：%1 超出 32 位整数的范围</source>
        <translation>Overflow: %1 does not fit a 32-bit integer</translation>
    </message>
    <message>
        <source>列表不是数字</source>
        <translation>a list is not a number</translation>
    </message>
    <message>
        <source>列表不是文本</source>
        <translation>a list is not a text</translation>
    </message>
    <message>
        <source>该值不是列表</source>
        <translation>the value is not a list</translation>
    </message>
    <message>
        <source>%1 类型不能作为字段值</source>
        <translation>a %1 cannot be a field value</translation>
    </message>
    <message>
        <source>对象变量未设置：列表为空</source>
        <translation>Object variable not set: the list is none</translation>
    </message>
    <message>
        <source>下标越界：共 %2 项的列表没有第 %1 项</source>
        <translation>Subscript out of range: position %1 of a list of %2</translation>
    </message>
    <message>
        <source>表格没有单元格（%1, %2）</source>
        <translation>The grid has no cell (%1, %2)</translation>
    </message>
</context>
</TS>
